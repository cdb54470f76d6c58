#include "platform/sim/sim_processes.h"

#include <algorithm>
#include <optional>

#include "platform/sim/default_devices.h"
#include "platform/sim/sqlite_guard.h"
#include "platform/sim/windows_path.h"

namespace dav::platform::sim {
namespace {

constexpr const char* kProcessColumns = "pid, parent, path, exe_file, protected, shell";

ProcessInfo FromRow(const Query& row) {
  return ProcessInfo{static_cast<std::uint32_t>(row.Int(0)),
                     static_cast<std::uint32_t>(row.Int(1)),
                     row.Text(2),
                     row.Text(3),
                     row.Int(4) != 0,
                     row.Int(5) != 0};
}

std::optional<ProcessInfo> FindRunning(Database& db, std::uint32_t processId) {
  auto query = db.Prepare(std::string("SELECT ") + kProcessColumns +
                          " FROM processes WHERE pid = ? AND running = 1");
  if (!query.Bind(1, std::int64_t{processId}).Step()) return std::nullopt;
  return FromRow(query);
}

std::vector<ProcessInfo> AllRunning(Database& db) {
  std::vector<ProcessInfo> result;
  auto query = db.Prepare(std::string("SELECT ") + kProcessColumns +
                          " FROM processes WHERE running = 1 ORDER BY pid");
  while (query.Step()) result.push_back(FromRow(query));
  return result;
}

// Windows hands out process ids in steps of 4; ids of ended processes are not taken again.
std::uint32_t NextProcessId(Database& db) {
  auto query = db.Prepare("SELECT coalesce(max(pid), 0) FROM processes");
  query.Step();
  return static_cast<std::uint32_t>(query.Int(0)) / 4 * 4 + 4;
}

std::uint32_t ShellProcessId(Database& db) {
  auto query = db.Prepare("SELECT pid FROM processes WHERE shell = 1 AND running = 1 LIMIT 1");
  return query.Step() ? static_cast<std::uint32_t>(query.Int(0)) : 0;
}

std::string Describe(const ProcessInfo& process) {
  return "pid " + std::to_string(process.processId) + " " +
         (process.path.empty() ? process.exeFile : process.path);
}

}  // namespace

void InsertProcess(Database& db, const ProcessInfo& process) {
  db.Prepare(
        "INSERT INTO processes (pid, parent, path, exe_file, protected, shell, running)"
        " VALUES (?, ?, ?, ?, ?, ?, 1)")
      .Bind(1, std::int64_t{process.processId})
      .Bind(2, std::int64_t{process.parentId})
      .Bind(3, process.path)
      .Bind(4, process.exeFile)
      .Bind(5, std::int64_t{process.isProtected})
      .Bind(6, std::int64_t{process.isShell})
      .Run();
}

Status SimProcesses::Snapshot(std::vector<ProcessEntry>* entries) {
  return TransactionOr(db_, Database::Mode::kRead, kErrorCantRead, [&] {
    entries->clear();
    for (const ProcessInfo& process : AllRunning(db_)) {
      entries->push_back({process.processId, process.parentId, process.exeFile});
    }
    return kErrorSuccess;
  });
}

bool SimProcesses::ListIds(std::span<std::uint32_t> ids, std::uint32_t* bytesReturned) {
  return TransactionOr(db_, Database::Mode::kRead, false, [&] {
    const auto running = AllRunning(db_);
    const std::size_t count = std::min(running.size(), ids.size());
    for (std::size_t i = 0; i < count; ++i) ids[i] = running[i].processId;
    *bytesReturned = static_cast<std::uint32_t>(count * sizeof(std::uint32_t));
    return true;
  });
}

Status SimProcesses::Open(std::uint32_t access, bool /*inheritHandle*/, std::uint32_t processId,
                          ProcessHandle* process) {
  *process = kNoProcess;
  // The idle process has id 0, which OpenProcess refuses as a parameter.
  if (processId == 0) return kErrorInvalidParameter;
  const Status status = TransactionOr(db_, Database::Mode::kRead, kErrorCantRead, [&] {
    const auto found = FindRunning(db_, processId);
    if (!found) return kErrorInvalidParameter;
    if (found->isProtected) return kErrorAccessDenied;
    return kErrorSuccess;
  });
  if (status != kErrorSuccess) return status;
  *process = nextHandle_;
  nextHandle_ += 4;
  handles_[*process] = {processId, access};
  return kErrorSuccess;
}

Status SimProcesses::Resolve(ProcessHandle process, std::uint32_t access,
                             std::uint32_t* processId) const {
  const auto found = handles_.find(process);
  if (found == handles_.end()) return kErrorInvalidHandle;
  if ((found->second.access & access) != access) return kErrorAccessDenied;
  *processId = found->second.processId;
  return kErrorSuccess;
}

Status SimProcesses::ExecutablePath(ProcessHandle process, std::string* path) {
  std::uint32_t processId = 0;
  const Status status = Resolve(process, kProcessQueryInformation | kProcessVmRead, &processId);
  if (status != kErrorSuccess) return status;
  return TransactionOr(db_, Database::Mode::kRead, kErrorCantRead, [&] {
    // A process that has ended has no modules left to read.
    const auto found = FindRunning(db_, processId);
    if (!found) return kErrorInvalidHandle;
    *path = found->path;
    return kErrorSuccess;
  });
}

Status SimProcesses::Terminate(ProcessHandle process, std::uint32_t exitCode) {
  std::uint32_t processId = 0;
  const Status status = Resolve(process, kProcessTerminate, &processId);
  if (status != kErrorSuccess) return status;
  return TransactionOr(db_, Database::Mode::kWrite, kErrorCantWrite, [&] {
    // Windows refuses to end a process that has already ended.
    if (!FindRunning(db_, processId)) return kErrorAccessDenied;
    End(processId, exitCode);
    return kErrorSuccess;
  });
}

void SimProcesses::End(std::uint32_t processId, std::uint32_t exitCode) {
  const ProcessInfo ended = *FindRunning(db_, processId);
  db_.Prepare("UPDATE processes SET running = 0, exit_code = ? WHERE pid = ?")
      .Bind(1, std::int64_t{exitCode})
      .Bind(2, std::int64_t{processId})
      .Run();
  db_.Prepare("DELETE FROM windows WHERE pid = ?").Bind(1, std::int64_t{processId}).Run();
  record_("process.end", Describe(ended) + ", exit code " + std::to_string(exitCode));
  if (!ended.isShell) return;

  ProcessInfo shell = ended;
  shell.processId = NextProcessId(db_);
  InsertProcess(db_, shell);
  OpenShellWindows(db_, shell.processId);
  record_("process.start", Describe(shell) + " (the shell, started again by Windows)");
}

void SimProcesses::Close(ProcessHandle process) {
  handles_.erase(process);
}

Status SimProcesses::Start(std::string_view path, std::uint32_t* processId) {
  return TransactionOr(db_, Database::Mode::kWrite, kErrorCantWrite,
                       [&] { return StartRow(path, false, processId); });
}

Status SimProcesses::StartRow(std::string_view path, bool isProtected, std::uint32_t* processId) {
  WindowsPath parsed;
  const Status status = ParseWindowsPath(path, false, &parsed);
  if (status != kErrorSuccess) return status;
  if (parsed.names.empty()) return kErrorAccessDenied;  // a drive's root is no program
  ProcessInfo process;
  process.path = std::string(1, parsed.drive) + ":";
  for (const std::string& name : parsed.names) process.path += "\\" + name;
  process.exeFile = parsed.names.back();
  process.processId = NextProcessId(db_);
  process.parentId = ShellProcessId(db_);
  process.isProtected = isProtected;
  InsertProcess(db_, process);
  record_("process.start", Describe(process));
  *processId = process.processId;
  return kErrorSuccess;
}

std::vector<ProcessInfo> SimProcesses::Running() {
  return TransactionOrThrow(db_, Database::Mode::kRead, "read the processes",
                            [&] { return AllRunning(db_); });
}

std::uint32_t SimProcesses::StartProgram(std::string_view path, bool isProtected) {
  std::uint32_t processId = 0;
  const Status status = TransactionOrThrow(db_, Database::Mode::kWrite, "start a process",
                                           [&] { return StartRow(path, isProtected, &processId); });
  if (status != kErrorSuccess) {
    throw PlatformError("'" + std::string(path) + "' is no program path (error " +
                        std::to_string(status) + ")");
  }
  return processId;
}

}  // namespace dav::platform::sim
