// The processes of the simulated PC, a table of the machine database. Nothing is run: a
// started program is a row until something ends it. A process marked protected runs under
// another account and refuses to be opened, as the system's processes refuse a normal user.
// When the shell process (explorer.exe) ends, Windows starts a new shell by itself, with a
// new process id and new shell windows. Process ids are never reused on one machine.
// Every start and end goes to the event journal.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/processes.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sqlite_db.h"

namespace dav::platform::sim {

// Adds a running process as it is (for the defaults of a new machine).
void InsertProcess(Database& db, const ProcessInfo& process);

class SimProcesses : public Processes {
 public:
  SimProcesses(Database& db, EventRecorder record) : db_(db), record_(std::move(record)) {}

  Status Snapshot(std::vector<ProcessEntry>* entries) override;
  bool ListIds(std::span<std::uint32_t> ids, std::uint32_t* bytesReturned) override;
  Status Open(std::uint32_t access, bool inheritHandle, std::uint32_t processId,
              ProcessHandle* process) override;
  Status ExecutablePath(ProcessHandle process, std::string* path) override;
  Status Terminate(ProcessHandle process, std::uint32_t exitCode) override;
  void Close(ProcessHandle process) override;
  // Any absolute Windows path starts a process (the file need not exist); its parent is the
  // shell. A relative or malformed path gives the error of the path.
  Status Start(std::string_view path, std::uint32_t* processId) override;

  // The machine's side (PlatformError on a bad path or a database failure).
  std::vector<ProcessInfo> Running();
  std::uint32_t StartProgram(std::string_view path, bool isProtected);

 private:
  struct OpenedProcess {
    std::uint32_t processId;
    std::uint32_t access;
  };

  // Checks a handle and the access it was opened with.
  Status Resolve(ProcessHandle process, std::uint32_t access, std::uint32_t* processId) const;
  Status StartRow(std::string_view path, bool isProtected, std::uint32_t* processId);
  void End(std::uint32_t processId, std::uint32_t exitCode);

  Database& db_;
  EventRecorder record_;
  std::map<ProcessHandle, OpenedProcess> handles_;
  ProcessHandle nextHandle_ = 0x7c;
};

}  // namespace dav::platform::sim
