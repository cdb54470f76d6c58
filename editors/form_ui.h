// What shows the forms: a toolkit's windows on a desktop, or the script driver on a host
// without one. The forms call it; it never changes a form but through the form's own calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dav::editors {

class frmWinConfig;
class frmSysConfig;
class frmMsg;

class FormUi {
 public:
  virtual ~FormUi() = default;

  // Shows the loaded form modally: returns when the form has closed (by its own OK, Cancel
  // or choice, or by CloseBox).
  virtual void Show(frmWinConfig& form) = 0;
  virtual void Show(frmSysConfig& form) = 0;
  virtual void Show(frmMsg& form) = 0;

  // A modal message box with the platform's style bits; returns the button chosen.
  virtual int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) = 0;

  // The folder browser: a folder of the machine's file system, or empty when none was
  // chosen.
  virtual std::string BrowseForFolder(std::string_view prompt) = 0;
};

}  // namespace dav::editors
