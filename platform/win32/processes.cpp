#include "platform/win32/processes.h"

// clang-format off
#include "platform/win32/windows_api.h"
#include <psapi.h>
#include <tlhelp32.h>
// clang-format on

#include "platform/win32/text.h"

namespace dav::platform::win32 {
namespace {

HANDLE ToHandle(ProcessHandle process) {
  return reinterpret_cast<HANDLE>(process);
}

// Room for 200 bytes of module handles; the executable is always the first module.
constexpr DWORD kModuleBufferBytes = 200;

}  // namespace

Status Win32Processes::Snapshot(std::vector<ProcessEntry>* entries) {
  entries->clear();
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return static_cast<Status>(GetLastError());
  // The record's own size: a fixed 296 (its size in a 32-bit program) is refused by a
  // 64-bit Windows, where the record is larger.
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    entries->push_back({entry.th32ProcessID, entry.th32ParentProcessID, FromAnsi(entry.szExeFile)});
  }
  CloseHandle(snapshot);
  return kErrorSuccess;
}

bool Win32Processes::ListIds(std::span<std::uint32_t> ids, std::uint32_t* bytesReturned) {
  DWORD returned = 0;
  static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
  if (!EnumProcesses(reinterpret_cast<DWORD*>(ids.data()), static_cast<DWORD>(ids.size_bytes()),
                     &returned)) {
    return false;
  }
  *bytesReturned = returned;
  return true;
}

Status Win32Processes::Open(std::uint32_t access, bool inheritHandle, std::uint32_t processId,
                            ProcessHandle* process) {
  const HANDLE handle = OpenProcess(access, inheritHandle ? TRUE : FALSE, processId);
  *process = reinterpret_cast<ProcessHandle>(handle);
  return handle == nullptr ? static_cast<Status>(GetLastError()) : kErrorSuccess;
}

Status Win32Processes::ExecutablePath(ProcessHandle process, std::string* path) {
  HMODULE modules[kModuleBufferBytes / sizeof(HMODULE)] = {};
  DWORD needed = 0;
  if (!EnumProcessModules(ToHandle(process), modules, sizeof modules, &needed)) {
    return static_cast<Status>(GetLastError());
  }
  char buffer[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameExA(ToHandle(process), modules[0], buffer, MAX_PATH);
  if (length == 0) return static_cast<Status>(GetLastError());
  *path = FromAnsi(std::string_view(buffer, length));
  return kErrorSuccess;
}

Status Win32Processes::Terminate(ProcessHandle process, std::uint32_t exitCode) {
  return TerminateProcess(ToHandle(process), exitCode) ? kErrorSuccess
                                                       : static_cast<Status>(GetLastError());
}

void Win32Processes::Close(ProcessHandle process) {
  CloseHandle(ToHandle(process));
}

Status Win32Processes::Start(std::string_view path, std::uint32_t* processId) {
  const std::string program = ToAnsi(path);
  std::string commandLine = "\"" + program + "\"";
  // No console and no standard handles: the program never holds its starter's output open.
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      DETACHED_PROCESS, nullptr, nullptr, &startup, &started)) {
    return static_cast<Status>(GetLastError());
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  *processId = started.dwProcessId;
  return kErrorSuccess;
}

}  // namespace dav::platform::win32
