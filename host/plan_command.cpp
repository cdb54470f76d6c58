#include "host/plan_command.h"

#include <filesystem>
#include <iostream>

#include "host/change_report.h"
#include "host/command_error.h"
#include "host/component_commands.h"
#include "host/host_files.h"
#include "host/host_output.h"
#include "host/json_option.h"
#include "host/throwaway_machine.h"
#include "platform/open_platform.h"

namespace dav::host {
namespace {

namespace fs = std::filesystem;

void RunPlan(HostContext& context, const ClientOptions& client, const HandleOptions& options) {
  const std::string protocol = HandleProtocol(options);
  const fs::path machine = HostPath(context.machineFolder);
  // Only the file is looked at: opening the machine's database would rewrite its log index.
  if (!fs::is_regular_file(machine / "registry.db")) {
    throw CommandError("no machine in '" + context.machineFolder + "'");
  }
  const ThrowawayMachine copy(&machine, "plan");
  std::unique_ptr<platform::Platform> platform = platform::OpenPlatform(copy.path(), false);
  if (!platform) throw CommandError("cannot open the copy of the machine");
  const ClientSettings settings = client.Resolve(*platform);
  if (!options.json) {
    std::cout << "plan: " << options.command
              << " on a copy of the machine; the machine itself is not changed\n";
    TextHostOutput out(std::cout, std::cerr);
    context.ReportExit(HandleAndReport(*platform, settings, options.command, protocol, false, true,
                                       std::cout, {}, out));
    return;
  }
  // The document carries every change; stderr keeps only the errors per section and row.
  JsonHostOutput out;
  MachineChanges changes;
  context.ReportExit(HandleAndReport(*platform, settings, options.command, protocol, true, false,
                                     std::cerr, {}, out, &changes));
  PrintJson(out.Document(context.exitCode, ChangesJson(changes)));
}

}  // namespace

void AddPlanCommand(CLI::App& app, HostContext& context,
                    const std::shared_ptr<ClientOptions>& client) {
  auto options = std::make_shared<HandleOptions>();
  CLI::App* plan = app.add_subcommand(
      "plan",
      "Show what a command would do without doing it: run it on a throw-away copy of the "
      "machine and list every registry value, key, file and ini entry it changes (old -> new), "
      "the notices and replies, the processes it ends, the writes the machine refuses and the "
      "errors per section and row. Exits as handle would with the same command");
  AddHandleArguments(*plan, *options);
  AddJsonFlag(plan, &options->json);
  plan->callback([&context, client, options] { RunPlan(context, *client, *options); });
}

}  // namespace dav::host
