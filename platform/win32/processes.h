// Processes through kernel32's Toolhelp snapshot and psapi's process list.
#pragma once

#include "platform/processes.h"

namespace dav::platform::win32 {

class Win32Processes : public Processes {
 public:
  Status Snapshot(std::vector<ProcessEntry>* entries) override;
  bool ListIds(std::span<std::uint32_t> ids, std::uint32_t* bytesReturned) override;
  Status Open(std::uint32_t access, bool inheritHandle, std::uint32_t processId,
              ProcessHandle* process) override;
  Status ExecutablePath(ProcessHandle process, std::string* path) override;
  Status Terminate(ProcessHandle process, std::uint32_t exitCode) override;
  void Close(ProcessHandle process) override;
  Status Start(std::string_view path, std::uint32_t* processId) override;
};

}  // namespace dav::platform::win32
