// The editors on a desktop: each form in its Qt dialog, message boxes and the folder
// browser as Qt dialogs. Needs a QApplication.
#pragma once

#include "editors/form_ui.h"
#include "platform/platform.h"

namespace dav::editors::qt {

class QtFormUi : public FormUi {
 public:
  explicit QtFormUi(platform::Platform& platform) : platform_(platform) {}

  void Show(frmWinConfig& form) override;
  void Show(frmSysConfig& form) override;
  void Show(frmMsg& form) override;
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override;
  std::string BrowseForFolder(std::string_view prompt) override;

 private:
  platform::Platform& platform_;
};

}  // namespace dav::editors::qt
