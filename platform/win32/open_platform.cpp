// On Windows the component runs on the real system; there is no machine folder to open.
#include "platform/open_platform.h"

#include "platform/win32/windows_platform.h"

namespace dav::platform {

std::unique_ptr<Platform> OpenPlatform(const std::filesystem::path& /*machineFolder*/,
                                       bool /*createIfMissing*/) {
  return std::make_unique<win32::WindowsPlatform>();
}

}  // namespace dav::platform
