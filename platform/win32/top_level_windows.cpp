#include "platform/win32/top_level_windows.h"

#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {

WindowHandle Win32TopLevelWindows::FindByTitle(std::string_view title) {
  return reinterpret_cast<WindowHandle>(FindWindowA(nullptr, ToAnsi(title).c_str()));
}

std::intptr_t Win32TopLevelWindows::SendClose(WindowHandle window) {
  return SendMessageA(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0);
}

}  // namespace dav::platform::win32
