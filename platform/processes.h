// Running processes: the two ways Windows lists them (a Toolhelp snapshot with executable
// file names, and the process-id list whose executables are read through a process handle),
// opening, ending and closing a process, and starting a program.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace dav::platform {

// OpenProcess access rights (Windows' values).
inline constexpr std::uint32_t kProcessTerminate = 0x0001;
inline constexpr std::uint32_t kProcessVmRead = 0x0010;
inline constexpr std::uint32_t kProcessQueryInformation = 0x0400;
// PROCESS_ALL_ACCESS as Windows XP defines it; later Windows accept it as well.
inline constexpr std::uint32_t kProcessAllAccess = 0x001F0FFF;

// A process handle from Open; kNoProcess is none.
using ProcessHandle = std::uintptr_t;
inline constexpr ProcessHandle kNoProcess = 0;

// One entry of a Toolhelp snapshot (PROCESSENTRY32).
struct ProcessEntry {
  std::uint32_t processId = 0;
  std::uint32_t parentProcessId = 0;
  std::string exeFile;  // szExeFile: on the NT family the file name alone, "explorer.exe"

  bool operator==(const ProcessEntry&) const = default;
};

class Processes {
 public:
  virtual ~Processes() = default;

  // CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS) walked with Process32First/Process32Next:
  // every process, in the system's order. A failure status when no snapshot can be made.
  virtual Status Snapshot(std::vector<ProcessEntry>* entries) = 0;

  // EnumProcesses: as many process ids as ids holds, in the system's order;
  // *bytesReturned is the number of bytes filled (4 per id). A buffer that came back full
  // may have been too small: the caller asks again with a bigger one. False on failure.
  virtual bool ListIds(std::span<std::uint32_t> ids, std::uint32_t* bytesReturned) = 0;

  // OpenProcess. A process the caller may not open gives kErrorAccessDenied, an id of no
  // running process kErrorInvalidParameter. Every handle must be closed with Close.
  virtual Status Open(std::uint32_t access, bool inheritHandle, std::uint32_t processId,
                      ProcessHandle* process) = 0;

  // EnumProcessModules, then GetModuleFileNameExA of the first module: the full path of the
  // process's executable. Needs a handle with kProcessQueryInformation | kProcessVmRead;
  // fails (kErrorAccessDenied ...) when the modules cannot be read.
  virtual Status ExecutablePath(ProcessHandle process, std::string* path) = 0;

  // TerminateProcess: ends the process with the exit code. Needs kProcessTerminate.
  virtual Status Terminate(ProcessHandle process, std::uint32_t exitCode) = 0;

  // CloseHandle.
  virtual void Close(ProcessHandle process) = 0;

  // CreateProcessA of the program at path, without arguments, console or inherited
  // handles; *processId is the new process's id.
  virtual Status Start(std::string_view path, std::uint32_t* processId) = 0;
};

}  // namespace dav::platform
