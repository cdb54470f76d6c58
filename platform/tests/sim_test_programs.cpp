// Test processes and windows on the simulated PC: rows of the machine's tables.
#include <unistd.h>

#include <algorithm>

#include "platform/sim/machine.h"
#include "platform/tests/test_programs.h"

namespace dav::platform::testing {
namespace {

sim::Machine& MachineOf(Platform& platform) {
  return dynamic_cast<sim::Machine&>(platform);
}

}  // namespace

std::string UniqueProgramName(const std::string& stem) {
  return stem + std::to_string(getpid()) + ".exe";
}

std::string PlaceLongRunningProgram(TestEnvironment& env, const std::string& fileName) {
  return env.scratchFolder() + "\\" + fileName;
}

bool WaitUntilStarted(Platform& /*platform*/, std::uint32_t /*processId*/) {
  return true;  // a simulated process is whole as soon as it is listed
}

std::uint32_t WaitForOneToEnd(Platform& platform, const std::vector<std::uint32_t>& processIds) {
  const auto running = MachineOf(platform).RunningProcesses();
  for (const std::uint32_t processId : processIds) {
    if (std::none_of(running.begin(), running.end(), [&](const sim::ProcessInfo& process) {
          return process.processId == processId;
        })) {
      return processId;
    }
  }
  return 0;
}

WindowHandle OpenTestWindow(Platform& platform, const std::string& title) {
  sim::Machine& machine = MachineOf(platform);
  for (const sim::ProcessInfo& process : machine.RunningProcesses()) {
    if (process.isShell) return machine.OpenWindow(title, "DavTestWindow", process.processId);
  }
  return kNoWindow;
}

void DestroyTestWindow(Platform& /*platform*/, WindowHandle /*window*/) {
  // The machine goes with the test environment, its windows with it.
}

}  // namespace dav::platform::testing
