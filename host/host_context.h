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
  // Closes the platform (before the machine's files are replaced or read directly).
  void ClosePlatform() { platform_.reset(); }

  // The exit code davhost ends with when the command itself succeeded: the worst one a
  // command reported (host/exit_codes.h).
  int exitCode = 0;
  void ReportExit(int code);

 private:
  std::unique_ptr<platform::Platform> platform_;
};

}  // namespace dav::host
