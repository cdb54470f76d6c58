// The editors on a Windows desktop: each form as a modal top-level window of native
// controls, owned by the window of the form that opened it, on the calling thread.
#pragma once

#include <windows.h>

#include <vector>

#include "editors/form_ui.h"

namespace dav::editors::win32 {

class Win32FormUi : public FormUi {
 public:
  void Show(frmWinConfig& form) override;
  void Show(frmSysConfig& form) override;
  void Show(frmMsg& form) override;
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override;
  std::string BrowseForFolder(std::string_view prompt) override;

  // Whether windows can be shown at all (a desktop with a display).
  static bool DesktopAvailable();

 private:
  // The window that owns the next dialog: the innermost form shown, or none.
  HWND Owner() const { return open_.empty() ? nullptr : open_.back(); }

  std::vector<HWND> open_;
};

}  // namespace dav::editors::win32
