#include "host/plan_command.h"

#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <system_error>

#include "host/change_report.h"
#include "host/command_error.h"
#include "host/component_commands.h"
#include "host/host_files.h"
#include "host/host_output.h"
#include "host/json_option.h"
#include "platform/open_platform.h"
#include "platform/sim/machine_snapshots.h"

namespace dav::host {
namespace {

namespace fs = std::filesystem;

// A copy of the machine in a new temporary folder, removed with the object. Only what the
// component can reach is copied (the database and the drives), not the snapshots.
class ThrowawayMachine {
 public:
  explicit ThrowawayMachine(const fs::path& machine) {
    std::string pattern = (fs::temp_directory_path() / "davhost-plan-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw CommandError("cannot make a folder for the copy");
    path_ = fs::path(pattern) / "machine";
    try {
      platform::sim::CopyMachineAsStored(machine, path_);
    } catch (const platform::PlatformError& e) {
      Remove();
      throw CommandError(std::string("cannot copy the machine: ") + e.what());
    }
  }
  ~ThrowawayMachine() { Remove(); }
  ThrowawayMachine(const ThrowawayMachine&) = delete;
  ThrowawayMachine& operator=(const ThrowawayMachine&) = delete;

  const fs::path& path() const { return path_; }

 private:
  void Remove() {
    std::error_code ignored;
    fs::remove_all(path_.parent_path(), ignored);
  }
  fs::path path_;
};

void RunPlan(HostContext& context, const ClientOptions& client, const HandleOptions& options) {
  const std::string protocol = HandleProtocol(options);
  const fs::path machine = HostPath(context.machineFolder);
  // Only the file is looked at: opening the machine's database would rewrite its log index.
  if (!fs::is_regular_file(machine / "registry.db")) {
    throw CommandError("no machine in '" + context.machineFolder + "'");
  }
  const ThrowawayMachine copy(machine);
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
