// What every davhost command shares: the global options and the platform, opened on first
// use so that --help and usage errors never touch a machine.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace dav::host {

class HostContext {
 public:
  // --machine: the simulated PC's folder (ignored by the Windows build).
  std::string machineFolder = "machine";

  // The platform; a missing or damaged machine is a CommandError. A restore of the machine
  // that a crash interrupted after its commit point is finished first.
  platform::Platform& platform();
  // True when the machine that platform() opened cannot be written (simulated PC).
  bool readOnly() const { return readOnly_; }
  // A CommandError when the machine is read-only: for commands that only change it.
  void RequireWritable();

  // Closes the platform (before the machine's files are replaced or read directly).
  void ClosePlatform() { platform_.reset(); }
  // Before a wait for input: the open platform lets go of what it holds (Platform::Idle).
  void Idle() {
    if (platform_) platform_->Idle();
  }

  // The exit code davhost ends with when the command itself succeeded: the worst one a
  // command reported (host/exit_codes.h).
  int exitCode = 0;
  void ReportExit(int code);

 private:
  std::unique_ptr<platform::Platform> platform_;
  bool readOnly_ = false;
};

}  // namespace dav::host
