#include "platform/win32/windows_platform.h"

#include <memory>

#include "platform/win32/clock.h"

namespace dav::platform::win32 {

WindowsPlatform::WindowsPlatform() : Platform(std::make_unique<Win32Clock>()) {}

}  // namespace dav::platform::win32
