#include "editors/win32/win32_form_ui.h"

#include <shlobj.h>

#include "editors/win32/dialogs.h"
#include "platform/win32/text.h"

namespace dav::editors::win32 {
namespace {

using platform::win32::FromWide;
using platform::win32::ToWide;

template <typename FormType, typename LayOut>
void Run(std::vector<HWND>& open, HWND owner, FormType& form, SIZE size, LayOut layOut) {
  // A form closed while loading is not shown at all.
  if (!form.isOpen()) return;
  FormWindow window(form, owner, size.cx, size.cy);
  if (!window.window()) {
    form.CloseBox();
    return;
  }
  layOut(window, form);
  open.push_back(window.window());
  try {
    window.RunModal();
  } catch (...) {
    open.pop_back();
    throw;
  }
  open.pop_back();
}

}  // namespace

bool Win32FormUi::DesktopAvailable() {
  // Without a display driver no window can be made.
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

void Win32FormUi::Show(frmWinConfig& form) {
  Run(open_, Owner(), form, kWinConfigSize, LayOutWinConfig);
}
void Win32FormUi::Show(frmSysConfig& form) {
  Run(open_, Owner(), form, kSysConfigSize, LayOutSysConfig);
}
void Win32FormUi::Show(frmMsg& form) {
  Run(open_, Owner(), form, kMsgSize, LayOutMsg);
}

int Win32FormUi::ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) {
  return MessageBoxW(Owner(), ToWide(text).c_str(), ToWide(title).c_str(), style);
}

std::string Win32FormUi::BrowseForFolder(std::string_view prompt) {
  const std::wstring title = ToWide(prompt);
  BROWSEINFOW browse{};
  browse.hwndOwner = Owner();
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  // The browser needs COM on this thread; a host that has it keeps its own.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (SUCCEEDED(com)) CoUninitialize();
  if (!chosen) return {};
  wchar_t path[MAX_PATH] = {};
  const bool found = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  return found ? FromWide(path) : std::string();
}

}  // namespace dav::editors::win32
