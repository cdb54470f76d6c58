#include "host/approve_command.h"

#include <filesystem>
#include <iostream>

#include "host/change_report.h"
#include "host/command_error.h"
#include "host/component_commands.h"
#include "host/host_files.h"
#include "host/host_output.h"
#include "host/json_option.h"
#include "host/text_table.h"
#if DAV_PLATFORM_SIM
#include "host/throwaway_machine.h"
#include "platform/open_platform.h"
#endif

namespace dav::host {
namespace {

struct ApproveOptions {
  std::vector<std::string> names;
  bool allUsers = false;
  bool plan = false;
  bool json = false;
};

const char* ProtectionName(ApprovalKind kind) {
  return kind == ApprovalKind::kDesktop ? "auto recover" : "start program protection";
}

void PrintApproved(const Approval& approval) {
  if (approval.approved.empty()) {
    std::cout << "Nothing new to approve: what is there is approved already\n";
  } else {
    std::vector<TableRow> rows{{"Approved", "Where"}};
    for (const ApprovedItem& item : approval.approved) rows.push_back({item.name, item.where});
    std::cout << FormatTable(rows, 0);
  }
  std::cout << "Turning " << ProtectionName(approval.kind)
            << " on and applying the window document (APL_WINCONF, no shell restart)\n";
}

Json ApprovedJson(const Approval& approval) {
  Json list = Json::MakeArray();
  for (const ApprovedItem& item : approval.approved) {
    list.Push(Json::Object{{"name", item.name}, {"where", item.where}});
  }
  return list;
}

// Approves on the machine given: the record first, then APL_WINCONF in one component
// lifetime, reported as handle reports it (detailed, on stdout, for a plan).
void Approve(platform::Platform& pc, HostContext& context, const ClientOptions& client,
             ApprovalKind kind, const ApproveOptions& options) {
  const ClientSettings settings = client.Resolve(pc);
  const Approval approval = PlanApproval(pc, settings, kind, options.names, options.allUsers);
  // The shell shows no icon or start program differently: it is not restarted.
  const std::string protocol = approval.document + "\x1d" + "False";
  // What was approved is said once it is recorded: a record that fails is one error line.
  const auto record = [&](platform::Platform& machine) {
    RecordApproval(machine, settings, approval);
    if (!options.json) {
      PrintApproved(approval);
      std::cout.flush();
    }
  };
  if (!options.json) {
    TextHostOutput out(std::cout, std::cerr);
    context.ReportExit(HandleAndReport(pc, settings, "APL_WINCONF", protocol, false, options.plan,
                                       options.plan ? std::cout : std::cerr, {}, out, nullptr,
                                       record));
    return;
  }
  JsonHostOutput out;
  MachineChanges changes;
  const int code = HandleAndReport(pc, settings, "APL_WINCONF", protocol, true, false, std::cerr,
                                   {}, out, &changes, record);
  context.ReportExit(code);
  Json document = out.Document(context.exitCode, ChangesJson(changes));
  PrintJson(Json::Object{{"approved", ApprovedJson(approval)},
                         {"lifetime", document["lifetime"]},
                         {"commands", document["commands"]},
                         {"summary", document["summary"]},
                         {"changes", document["changes"]},
                         {"exit_code", document["exit_code"]}});
}

void RunApprove(HostContext& context, const ClientOptions& client, ApprovalKind kind,
                const ApproveOptions& options) {
  if (!options.plan) {
    context.RequireWritable();
    Approve(context.platform(), context, client, kind, options);
    return;
  }
#if DAV_PLATFORM_SIM
  const std::filesystem::path machine = HostPath(context.machineFolder);
  if (!std::filesystem::is_regular_file(machine / "registry.db")) {
    throw CommandError("no machine in '" + context.machineFolder + "'");
  }
  const ThrowawayMachine copy(&machine, "plan");
  std::unique_ptr<platform::Platform> platform = platform::OpenPlatform(copy.path(), false);
  if (!platform) throw CommandError("cannot open the copy of the machine");
  if (!options.json) {
    std::cout << "plan: approving on a copy of the machine; the machine itself is not changed\n";
  }
  Approve(*platform, context, client, kind, options);
#else
  throw CommandError("--plan needs a simulated PC: this davhost works on the PC itself");
#endif
}

}  // namespace

void AddApproveCommand(CLI::App& parent, ApprovalKind kind, HostContext& context,
                       const std::shared_ptr<ClientOptions>& client) {
  auto options = std::make_shared<ApproveOptions>();
  const bool desktop = kind == ApprovalKind::kDesktop;
  CLI::App* approve = parent.add_subcommand(
      "approve",
      desktop ? "Approve the icons on the desktop now, turn auto recover on and apply it (as "
                "APL_WINCONF), so that the next start keeps them and removes icons added later"
              : "Approve the Run entries and start-up items there now, turn start program "
                "protection on and apply it (as APL_WINCONF), so that the next start keeps them "
                "and switches off entries added later");
  approve->add_option("NAME", options->names,
                      desktop ? "Approve only these icon files (names exact); the others keep "
                                "their approval"
                              : "Approve only these Run entries (names in any case) or start-up "
                                "items; the others keep their approval");
  if (desktop) {
    approve->add_flag("--all-users", options->allUsers,
                      "Approve the icons of the all users desktop too");
  }
  approve->add_flag("--plan", options->plan,
                    "Show what it would change, on a throw-away copy of the machine; change "
                    "nothing");
  AddJsonFlag(approve, &options->json);
  approve->callback(
      [&context, client, kind, options] { RunApprove(context, *client, kind, *options); });
}

}  // namespace dav::host
