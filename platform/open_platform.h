// Opens the PC that the component runs on: on the simulated backend the machine kept in
// machineFolder (made with the defaults first when missing and createIfMissing is set);
// on Windows the real system, and the folder is ignored. A PlatformError when it cannot.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/platform.h"

namespace dav::platform {

std::unique_ptr<Platform> OpenPlatform(const std::filesystem::path& machineFolder,
                                       bool createIfMissing);

}  // namespace dav::platform
