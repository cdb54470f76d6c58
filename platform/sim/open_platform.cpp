#include "platform/open_platform.h"

#include "platform/sim/machine.h"

namespace dav::platform {

std::unique_ptr<Platform> OpenPlatform(const std::filesystem::path& machineFolder,
                                       bool createIfMissing) {
  if (auto machine = sim::Machine::OpenIfExists(machineFolder)) return machine;
  if (!createIfMissing) {
    throw PlatformError("there is no machine in " + machineFolder.string() + " (create one first)");
  }
  return sim::Machine::Create(machineFolder);
}

}  // namespace dav::platform
