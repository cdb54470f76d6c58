// Top-level windows: finding one by its title and asking it to close.
#pragma once

#include <cstdint>
#include <string_view>

namespace dav::platform {

// A window handle (HWND); kNoWindow is none.
using WindowHandle = std::uintptr_t;
inline constexpr WindowHandle kNoWindow = 0;

class TopLevelWindows {
 public:
  virtual ~TopLevelWindows() = default;

  // FindWindowA with no class name: a top-level window whose whole title equals title
  // (Windows ignores letter case), or kNoWindow.
  virtual WindowHandle FindByTitle(std::string_view title) = 0;

  // SendMessageA(window, WM_CLOSE, 0, 0): the window closes as when its close box is
  // clicked. Returns what the window procedure returned (0 for a window that closed, and
  // for a handle of no window).
  virtual std::intptr_t SendClose(WindowHandle window) = 0;
};

}  // namespace dav::platform
