#include "host/machine_commands.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include "host/command_error.h"
#include "host/hive_names.h"
#include "host/host_files.h"
#include "host/json_option.h"
#include "host/machine_diff.h"
#include "host/registry_tree.h"
#include "host/status_text.h"
#include "host/text_table.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_snapshots.h"

namespace dav::host {
namespace {

using platform::sim::Machine;

void RunInit(const HostContext& context, std::uint32_t codePage) {
  const std::filesystem::path folder = HostPath(context.machineFolder);
  if (Machine::Exists(folder)) {
    throw CommandError("a machine already exists in '" + context.machineFolder + "'");
  }
  try {
    Machine::Create(folder, codePage);
  } catch (const platform::PlatformError& e) {
    throw CommandError("cannot create a machine in '" + context.machineFolder + "': " + e.what());
  }
  std::cout << "Created a machine in '" << context.machineFolder << "'\n";
}

std::string Csidl(int csidl) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%02x", static_cast<unsigned>(csidl));
  return buffer;
}

// machine info --json: {"machine", "settings": {name: value}, "special_folders": [{"csidl",
// "name", "path" (null for a virtual folder)}], "registry": [{"hive", "keys", "values"}]}
void PrintInfoJson(Machine& machine) {
  Json settings = Json::MakeObject();
  for (const auto& [name, value] : machine.Settings()) settings.Set(name, value);
  Json folders = Json::MakeArray();
  for (const auto& folder : machine.SpecialFolders()) {
    folders.Push(Json::Object{{"csidl", folder.csidl},
                              {"name", folder.displayName},
                              {"path", folder.path.empty() ? Json() : Json(folder.path)}});
  }
  Json hives = Json::MakeArray();
  for (platform::KeyHandle hive : {platform::kHKeyClassesRoot, platform::kHKeyCurrentUser,
                                   platform::kHKeyLocalMachine, platform::kHKeyUsers}) {
    TreeCounts counts;
    const platform::Status status = CountKeyTree(machine.registry(), hive, &counts);
    if (status != platform::kErrorSuccess) {
      throw CommandError("cannot read " + std::string(HiveName(hive)) + ": " + StatusText(status));
    }
    hives.Push(Json::Object{{"hive", HiveName(hive)},
                            {"keys", static_cast<unsigned long long>(counts.keys)},
                            {"values", static_cast<unsigned long long>(counts.values)}});
  }
  PrintJson(Json::Object{{"machine", HostPathText(machine.folder())},
                         {"settings", settings},
                         {"special_folders", folders},
                         {"registry", hives}});
}

void RunInfo(HostContext& context, bool json) {
  auto* machine = dynamic_cast<Machine*>(&context.platform());
  if (machine == nullptr) throw CommandError("machine info needs the simulated PC");
  if (json) {
    PrintInfoJson(*machine);
    return;
  }

  std::cout << "Machine  " << HostPathText(machine->folder()) << "\n\nSettings\n";
  std::vector<TableRow> settings;
  for (const auto& [name, value] : machine->Settings()) settings.push_back({name, value});
  std::cout << FormatTable(settings, 2);

  std::cout << "\nSpecial folders\n";
  std::vector<TableRow> folders{{"CSIDL", "Name", "Path"}};
  for (const auto& folder : machine->SpecialFolders()) {
    folders.push_back(
        {Csidl(folder.csidl), folder.displayName, folder.path.empty() ? "(virtual)" : folder.path});
  }
  std::cout << FormatTable(folders, 2);

  std::cout << "\nRegistry\n";
  std::vector<TableRow> hives{{"Hive", "Keys", "Values"}};
  for (platform::KeyHandle hive : {platform::kHKeyClassesRoot, platform::kHKeyCurrentUser,
                                   platform::kHKeyLocalMachine, platform::kHKeyUsers}) {
    TreeCounts counts;
    const platform::Status status = CountKeyTree(machine->registry(), hive, &counts);
    if (status != platform::kErrorSuccess) {
      throw CommandError("cannot read " + std::string(HiveName(hive)) + ": " + StatusText(status));
    }
    hives.push_back(
        {std::string(HiveName(hive)), std::to_string(counts.keys), std::to_string(counts.values)});
  }
  std::cout << FormatTable(hives, 2, {1, 2});
}

struct SetOptions {
  std::string name;
  std::string value;
};

void RunSet(HostContext& context, const SetOptions& options) {
  auto* machine = dynamic_cast<Machine*>(&context.platform());
  if (machine == nullptr) throw CommandError("machine set needs the simulated PC");
  try {
    machine->SetSetting(options.name, options.value);
  } catch (const platform::PlatformError& e) {
    throw CommandError(e.what());
  }
}

// --- snapshots --------------------------------------------------------------------------

// The machine's folder, for the commands that work on its files directly; a missing machine
// is the same error as elsewhere.
std::filesystem::path MachineFolder(HostContext& context) {
  context.platform();
  return HostPath(context.machineFolder);
}

void RunSnapshot(HostContext& context, const std::string& name) {
  context.RequireWritable();  // the snapshot is kept in the machine's folder
  platform::sim::TakeSnapshot(MachineFolder(context), name);
  std::cout << "Took the snapshot '" << name << "' of the machine\n";
}

void RunSnapshots(HostContext& context, bool json) {
  std::vector<TableRow> rows{{"Name", "Taken (UTC)"}};
  Json list = Json::MakeArray();
  for (const platform::sim::SnapshotInfo& snapshot :
       platform::sim::ListSnapshots(MachineFolder(context))) {
    rows.push_back({snapshot.name, snapshot.taken});
    list.Push(Json::Object{{"name", snapshot.name}, {"taken", snapshot.taken}});
  }
  if (json) {
    PrintJson(Json::Object{{"snapshots", list}});
  } else {
    std::cout << FormatTable(rows, 0);
  }
}

void RunRestore(HostContext& context, const std::string& name) {
  const std::filesystem::path folder = MachineFolder(context);
  context.RequireWritable();
  context.ClosePlatform();  // the database is replaced under it
  platform::sim::RestoreSnapshot(folder, name);
  std::cout << "Restored the machine to the snapshot '" << name << "'\n";
}

// A difference's path and detail are cut to fit a 100-column terminal with the change and
// kind columns (up to 7 and 6 wide, two spaces after each): 50 columns, then 31.
constexpr std::size_t kDiffWhatWidth = 50;
constexpr std::size_t kDiffDetailWidth = 31;

void RunDiff(HostContext& context, const std::string& name, bool json, bool full) {
  const std::filesystem::path folder = MachineFolder(context);
  context.ClosePlatform();
  std::vector<TableRow> rows;
  Json list = Json::MakeArray();
  for (const MachineDifference& d : DiffSnapshot(folder, name)) {
    list.Push(Json::Object{{"change", d.change},
                           {"kind", d.kind},
                           {"what", d.what},
                           {"before", d.before},
                           {"after", d.after},
                           {"row", d.row.empty() ? Json(nullptr) : Json(d.row)}});
    std::string detail = d.change == "changed" ? d.before + " -> " + d.after
                         : d.change == "added" ? d.after
                                               : d.before;
    const std::string what = full ? d.what : CutToWidth(d.what, kDiffWhatWidth, true);
    if (detail.empty()) {
      rows.push_back({d.change, d.kind, what});
    } else {
      rows.push_back(
          {d.change, d.kind, what, full ? detail : CutToWidth(detail, kDiffDetailWidth)});
    }
    // The document row that writes the value, on a line of its own below it.
    if (!d.row.empty()) {
      rows.push_back(
          {"", "", "  " + (full ? d.row : CutToWidth(d.row, kDiffWhatWidth + kDiffDetailWidth))});
    }
  }
  if (json) {
    PrintJson(Json::Object{{"snapshot", name}, {"differences", list}});
  } else {
    std::cout << FormatTable(rows, 0);
  }
}

void AddSnapshotCommands(CLI::App* machine, HostContext& context) {
  auto name = std::make_shared<std::string>();
  CLI::App* snapshot = machine->add_subcommand(
      "snapshot", "Keep a copy of the whole machine (registry and drives) under a name");
  snapshot->add_option("NAME", *name, "Letters, digits, '.', '_' and '-'")->required();
  snapshot->callback([&context, name] { RunSnapshot(context, *name); });
  auto json = std::make_shared<bool>(false);
  CLI::App* snapshots = machine->add_subcommand("snapshots", "List the snapshots");
  AddJsonFlag(snapshots, json.get());
  snapshots->callback([&context, json] { RunSnapshots(context, *json); });
  CLI::App* restore = machine->add_subcommand(
      "restore",
      "Put the machine back as the snapshot has it, at once (a crash leaves the old or the "
      "restored machine); no other davhost may use the machine meanwhile");
  restore->add_option("NAME", *name, "The snapshot")->required();
  restore->callback([&context, name] { RunRestore(context, *name); });
  CLI::App* diff = machine->add_subcommand(
      "diff", "Registry values, files and ini entries that differ from the snapshot");
  diff->add_option("NAME", *name, "The snapshot")->required();
  AddJsonFlag(diff, json.get());
  auto full = std::make_shared<bool>(false);
  diff->add_flag("--full", *full,
                 "Show paths and values whole; without it long ones are cut with '…' so that a "
                 "line fits 100 columns");
  diff->callback([&context, name, json, full] { RunDiff(context, *name, *json, *full); });
}

}  // namespace

void AddMachineCommands(CLI::App& app, HostContext& context) {
  CLI::App* machine = app.add_subcommand("machine", "Create and describe the simulated PC");
  machine->require_subcommand(1);
  auto codePage = std::make_shared<std::uint32_t>(949);
  CLI::App* init =
      machine->add_subcommand("init", "Create a new machine (a Korean Windows XP PC) in --machine");
  init->add_option("--code-page", *codePage,
                   "Its ANSI code page (default 949); it cannot change once the registry holds "
                   "text outside ASCII");
  init->callback([&context, codePage] { RunInit(context, *codePage); });
  auto infoJson = std::make_shared<bool>(false);
  CLI::App* info =
      machine->add_subcommand("info", "Show settings, special folders and a registry summary");
  AddJsonFlag(info, infoJson.get());
  info->callback([&context, infoJson] { RunInfo(context, *infoJson); });

  auto set = std::make_shared<SetOptions>();
  CLI::App* setCommand =
      machine->add_subcommand("set", "Change one setting (machine info lists them)");
  setCommand->add_option("NAME", set->name, "The setting, as code_page or client_folder")
      ->required();
  setCommand->add_option("VALUE", set->value, "Its new value")->required();
  setCommand->callback([&context, set] { RunSet(context, *set); });

  AddSnapshotCommands(machine, context);
}

}  // namespace dav::host
