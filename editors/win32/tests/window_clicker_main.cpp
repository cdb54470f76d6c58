// A user at another process's windows, for the tests of programs that show the editors:
//
//   window_clicker.exe TITLE CONTROL [TITLE CONTROL ...]
//
// For each pair in turn it waits for a shown window with the title and clicks the control
// of the name given ("cmdOK", "chkUseAccess(0)"; "OK" on a message box). Exit code 0 when
// every click was made, 1 when a window or control was not found within a minute.
#include <windows.h>

#include <cstdio>
#include <string>

#include "editors/win32/form_window.h"
#include "platform/win32/text.h"

namespace {

using dav::platform::win32::FromWide;
using dav::platform::win32::ToWide;

HWND FindControl(HWND window, const std::string& name) {
  struct Search {
    const std::string* name;
    HWND found;
  } search{&name, nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (dav::editors::win32::ControlNameOf(child) != *s->name) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Looks for the window again whenever this process's queue wakes or a short while passed.
HWND WaitForWindow(const std::wstring& title) {
  const ULONGLONG until = GetTickCount64() + 60000;
  while (GetTickCount64() < until) {
    HWND window = FindWindowW(nullptr, title.c_str());
    if (window && IsWindowVisible(window) && IsWindowEnabled(window)) return window;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return nullptr;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
  if (count < 3 || count % 2 == 0) {
    std::fprintf(stderr, "usage: window_clicker.exe TITLE CONTROL [TITLE CONTROL ...]\n");
    return 2;
  }
  for (int i = 1; i + 1 < count; i += 2) {
    HWND window = WaitForWindow(arguments[i]);
    const std::string control = FromWide(arguments[i + 1]);
    if (!window) {
      std::fprintf(stderr, "window_clicker: no window \"%s\"\n", FromWide(arguments[i]).c_str());
      return 1;
    }
    if (control == "OK") {
      PostMessageW(window, WM_COMMAND, IDOK, 0);
      continue;
    }
    HWND target = FindControl(window, control);
    if (!target) {
      std::fprintf(stderr, "window_clicker: no control %s\n", control.c_str());
      return 1;
    }
    // A click that opens a modal window returns only when it closes: posted.
    PostMessageW(target, BM_CLICK, 0, 0);
  }
  return 0;
}
