// Top-level windows through user32.
#pragma once

#include "platform/top_level_windows.h"

namespace dav::platform::win32 {

class Win32TopLevelWindows : public TopLevelWindows {
 public:
  WindowHandle FindByTitle(std::string_view title) override;
  std::intptr_t SendClose(WindowHandle window) override;
};

}  // namespace dav::platform::win32
