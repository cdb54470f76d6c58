// Display modes of the primary display through user32.
#pragma once

#include "platform/display.h"

namespace dav::platform::win32 {

class Win32Display : public Display {
 public:
  bool ModeSettings(std::uint32_t modeNumber, DisplayMode* mode) override;
  std::int32_t ChangeModeEx(const DisplayMode& mode, std::uint32_t flags) override;
  std::int32_t ChangeMode(const DisplayMode& mode, std::uint32_t flags) override;
};

}  // namespace dav::platform::win32
