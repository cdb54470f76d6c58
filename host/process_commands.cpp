#include "host/process_commands.h"

#include <iostream>
#include <memory>

#include "host/command_error.h"
#include "host/json_option.h"
#include "host/status_text.h"
#include "host/text_table.h"
#include "process/mod_process_cut.h"
#if DAV_PLATFORM_SIM
#include "platform/sim/machine.h"
#endif

namespace dav::host {
namespace {

// The executable's path as the process-list search reads it; false with the reason in *path.
bool ReadPath(platform::Processes& processes, std::uint32_t processId, std::string* path) {
  platform::ProcessHandle process = platform::kNoProcess;
  platform::Status status = processes.Open(
      platform::kProcessQueryInformation | platform::kProcessVmRead, false, processId, &process);
  if (status == platform::kErrorSuccess) {
    status = processes.ExecutablePath(process, path);
    processes.Close(process);
  }
  if (status == platform::kErrorSuccess) return true;
  *path = StatusText(status);
  return false;
}

void RunList(HostContext& context, bool json) {
  platform::Processes& processes = context.platform().processes();
  std::vector<platform::ProcessEntry> entries;
  const platform::Status status = processes.Snapshot(&entries);
  if (status != platform::kErrorSuccess) {
    throw CommandError("cannot list the processes: " + StatusText(status));
  }
  std::vector<TableRow> rows{{"PID", "Parent", "Name", "Path"}};
  Json list = Json::MakeArray();
  for (const platform::ProcessEntry& entry : entries) {
    std::string path;
    const bool read = ReadPath(processes, entry.processId, &path);
    rows.push_back({std::to_string(entry.processId), std::to_string(entry.parentProcessId),
                    entry.exeFile, read ? path : "[" + path + "]"});
    list.Push(Json::Object{{"pid", entry.processId},
                           {"parent", entry.parentProcessId},
                           {"name", entry.exeFile},
                           {"path", read ? Json(path) : Json()},
                           {"path_error", read ? Json() : Json(path)}});
  }
  if (json) {
    PrintJson(Json::Object{{"processes", list}});
  } else {
    std::cout << FormatTable(rows, 0, {0, 1});
  }
}

bool IsRunning(platform::Processes& processes, std::uint32_t processId) {
  std::vector<platform::ProcessEntry> entries;
  if (processes.Snapshot(&entries) != platform::kErrorSuccess) return false;
  for (const platform::ProcessEntry& entry : entries) {
    if (entry.processId == processId) return true;
  }
  return false;
}

void RunEnd(HostContext& context, const std::string& name) {
  platform::Platform& pc = context.platform();
  const std::uint32_t processId = modProcessCut::FindProcessId(pc, name);
  if (processId == 0) {
    throw CommandError("no process named '" + name + "' (the name of the executable, no folder)");
  }
  // The component's termination reports nothing; whether the process could be opened for it,
  // and whether it is gone afterwards, tells.
  platform::Processes& processes = pc.processes();
  platform::ProcessHandle process = platform::kNoProcess;
  if (const platform::Status status =
          processes.Open(platform::kProcessAllAccess, true, processId, &process);
      status != platform::kErrorSuccess) {
    throw CommandError("could not open process " + std::to_string(processId) + " (" + name +
                       "): " + StatusText(status) + "; nothing was ended");
  }
  processes.Close(process);
  modProcessCut::TerminateProcessByName(pc, name);
  if (IsRunning(processes, processId)) {
    throw CommandError("process " + std::to_string(processId) + " (" + name + ") is still running");
  }
  std::cout << "Ended process " << processId << " (" << name << ")\n";
}

#if DAV_PLATFORM_SIM
struct StartOptions {
  std::string path;
  bool isProtected = false;
};

void RunStart(HostContext& context, const StartOptions& options) {
  auto* machine = dynamic_cast<platform::sim::Machine*>(&context.platform());
  if (machine == nullptr) throw CommandError("ps start needs the simulated PC");
  try {
    const std::uint32_t processId = machine->StartProcess(options.path, options.isProtected);
    std::cout << "Started process " << processId << " (" << options.path << ")\n";
  } catch (const platform::PlatformError& e) {
    throw CommandError(e.what());
  }
}
#endif

}  // namespace

void AddProcessCommands(CLI::App& app, HostContext& context) {
  CLI::App* ps = app.add_subcommand("ps", "List the running processes with their executables");
  auto json = std::make_shared<bool>(false);
  AddJsonFlag(ps, json.get());
  ps->callback([&context, ps, json] {
    if (ps->get_subcommands().empty()) RunList(context, *json);
  });

  auto name = std::make_shared<std::string>();
  CLI::App* end = ps->add_subcommand(
      "end", "End the first process with this executable name, as the component does");
  end->add_option("name", *name, "File name of the executable, such as explorer.exe")->required();
  end->callback([&context, name] { RunEnd(context, *name); });

#if DAV_PLATFORM_SIM
  auto start = std::make_shared<StartOptions>();
  CLI::App* startCommand =
      ps->add_subcommand("start", "Start a program on the simulated PC (nothing is run)");
  startCommand->add_option("path", start->path, "Windows path, such as C:\\WINDOWS\\notepad.exe")
      ->required();
  startCommand->add_flag("--protected", start->isProtected,
                         "Runs under another account: the component cannot open it");
  startCommand->callback([&context, start] { RunStart(context, *start); });
#endif
}

}  // namespace dav::host
