// The system settings editor: three tabs, the control panel applets of both generations,
// the blocked tools with the drive list, and the blocked folders.
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editors/qt/dialogs.h"

namespace dav::editors::qt {
namespace {

QWidget* Applets(FormDialog& dialog, int generation) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->addWidget(new QLabel("제어판에서 나타내지 않을 아이콘의 체크를 풀어주십시오."));
  layout->addWidget(dialog.Check("chkControlPanel", generation));
  layout->addWidget(dialog.Grid("fgrid", generation), 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(dialog.Button("cmdAllSelect", generation));
  buttons->addWidget(dialog.Button("cmdZeroSelect", generation));
  layout->addLayout(buttons);
  return panel;
}

QWidget* Used(FormDialog& dialog) {
  auto* panel = new QWidget;
  auto* layout = new QHBoxLayout(panel);
  auto* boxes = new QVBoxLayout;
  for (int i = 0; i < static_cast<int>(kUseAccessRows.size()); ++i) {
    boxes->addWidget(dialog.Check("chkUseAccess", i));
  }
  boxes->addStretch();
  layout->addLayout(boxes, 2);
  layout->addWidget(dialog.Grid("fgridDrive"), 1);
  return panel;
}

QWidget* Folders(FormDialog& dialog) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->addWidget(dialog.Check("chkFolder", 0));
  layout->addWidget(dialog.Check("chkFolder", 1));
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(Q(dialog.form().Texts("txtPath")[0].label)));
  row->addWidget(dialog.Text("txtPath"), 1);
  row->addWidget(dialog.Button("cmdInsert"));
  row->addWidget(dialog.Button("cmdDelete"));
  layout->addLayout(row);
  layout->addWidget(new QLabel("차단 설정된 폴더 접근 시 해당 폴더 창이 자동으로 종료됩니다."));
  layout->addWidget(dialog.Grid("fgridFolder"), 1);
  return panel;
}

}  // namespace

std::unique_ptr<FormDialog> MakeSysConfigDialog(frmSysConfig& form) {
  auto dialog = std::make_unique<FormDialog>(form);
  auto* layout = new QVBoxLayout(dialog.get());
  layout->addWidget(dialog->Tabs(
      {{Applets(*dialog, 0), Applets(*dialog, 1)}, {Used(*dialog)}, {Folders(*dialog)}}));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(dialog->Button("cmdOK"));
  buttons->addWidget(dialog->Button("cmdCancel"));
  layout->addLayout(buttons);
  dialog->resize(900, 640);
  dialog->Refresh();
  return dialog;
}

}  // namespace dav::editors::qt
