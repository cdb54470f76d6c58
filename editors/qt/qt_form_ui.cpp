#include "editors/qt/qt_form_ui.h"

#include <QApplication>
#include <QMessageBox>

#include "editors/qt/dialogs.h"
#include "platform/dialogs.h"

namespace dav::editors::qt {
namespace {

void Run(FormDialog& dialog) {
  // A form closed while loading (none does today) is not shown at all.
  if (dialog.form().isOpen()) dialog.exec();
  if (dialog.form().isOpen()) dialog.form().CloseBox();
}

}  // namespace

void QtFormUi::Show(frmWinConfig& form) {
  Run(*MakeWinConfigDialog(form));
}
void QtFormUi::Show(frmSysConfig& form) {
  Run(*MakeSysConfigDialog(form));
}
void QtFormUi::Show(frmMsg& form) {
  Run(*MakeMsgDialog(form));
}

int QtFormUi::ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) {
  QMessageBox box(QApplication::activeModalWidget());
  box.setObjectName("messageBox");
  box.setWindowTitle(Q(std::string(title)));
  box.setText(Q(std::string(text)));
  const std::uint32_t icon = style & 0xF0;
  box.setIcon(icon == platform::kMbIconStop          ? QMessageBox::Critical
              : icon == platform::kMbIconQuestion    ? QMessageBox::Question
              : icon == platform::kMbIconExclamation ? QMessageBox::Warning
              : icon == platform::kMbIconInformation ? QMessageBox::Information
                                                     : QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return platform::kIdOk;
}

std::string QtFormUi::BrowseForFolder(std::string_view prompt) {
  return BrowseFolder(platform_.files(), std::string(prompt), QApplication::activeModalWidget());
}

}  // namespace dav::editors::qt
