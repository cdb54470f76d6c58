// The window settings editor: four tabs, the start menus of both generations, the start
// programs, the window functions and the desktop icons.
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editors/qt/dialogs.h"

namespace dav::editors::qt {
namespace {

QWidget* Scrolled(QWidget* content) {
  auto* area = new QScrollArea;
  area->setWidget(content);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  return area;
}

// Rows of option triplets: the row's label, then its three options.
template <typename Rows>
void AddOptionRows(FormDialog& dialog, QGridLayout* grid, const Rows& rows,
                   const std::string& control) {
  int line = grid->rowCount();
  for (const OptionRow& row : rows) {
    grid->addWidget(new QLabel(Q(row.label)), line, 0);
    for (int k = 0; k < 3; ++k) grid->addWidget(dialog.Option(control, row.base + k), line, k + 1);
    ++line;
  }
}

QWidget* StartMenuXp(FormDialog& dialog) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  auto* xp = new QGroupBox("XP 시작 메뉴");
  auto* xpLayout = new QGridLayout(xp);
  AddOptionRows(dialog, xpLayout, kXpOptionRows, "optStartMenu");
  const int first = xpLayout->rowCount();
  for (int i = 0; i < 9; ++i) {
    xpLayout->addWidget(dialog.Check("chkStartMenu", i), first + i / 3, i % 3 + 1);
  }
  layout->addWidget(xp);
  auto* classic = new QGroupBox("이전 윈도우 시작 메뉴");
  auto* classicLayout = new QGridLayout(classic);
  for (int i = 9; i < 18; ++i) {
    classicLayout->addWidget(dialog.Check("chkStartMenu", i), (i - 9) / 3, (i - 9) % 3);
  }
  layout->addWidget(classic);
  layout->addStretch();
  return Scrolled(panel);
}

QWidget* StartMenuWin7(FormDialog& dialog) {
  auto* panel = new QWidget;
  auto* grid = new QGridLayout(panel);
  AddOptionRows(dialog, grid, kWin7OptionRows, "optStartMenuWin7");
  const int first = grid->rowCount();
  for (int i = 0; i < static_cast<int>(kWin7CheckRows.size()); ++i) {
    grid->addWidget(dialog.Check("chkStartMenuWin7", i), first + i / 3, i % 3 + 1);
  }
  return Scrolled(panel);
}

// A protected flag, the select-all box over the grid's check column, and the grid.
QWidget* ListPanel(FormDialog& dialog, const std::string& box, const std::string& grid,
                   const std::vector<std::string>& notes) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->addWidget(dialog.Check(box, 0));
  for (const std::string& note : notes) layout->addWidget(new QLabel(Q(note)));
  QCheckBox* all = dialog.Check(box, 1);
  all->setToolTip("전체 선택");
  layout->addWidget(all);
  layout->addWidget(dialog.Grid(grid), 1);
  return panel;
}

QWidget* WinSkill(FormDialog& dialog) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  for (int i = 0; i < static_cast<int>(kWinSkillRows.size()); ++i) {
    layout->addWidget(dialog.Check("chkWinSkill", i));
  }
  auto* lists = new QFormLayout;
  for (int i = 0; i < 3; ++i) {
    lists->addRow(Q(dialog.form().Lists("cboWinSkill")[static_cast<std::size_t>(i)].label),
                  dialog.List("cboWinSkill", i));
  }
  layout->addLayout(lists);
  layout->addStretch();
  return panel;
}

QWidget* Explorer(FormDialog& dialog) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  for (int i = 0; i < 2; ++i) {
    layout->addWidget(dialog.Check("chkExplorer", i));
    auto* row = new QHBoxLayout;
    row->addWidget(
        new QLabel(Q(dialog.form().Texts("txtExplorer")[static_cast<std::size_t>(i)].label)));
    row->addWidget(dialog.Text("txtExplorer", i), 1);
    if (i == 1) row->addWidget(dialog.Button("cmdExplorer"));
    layout->addLayout(row);
  }
  layout->addWidget(dialog.Check("chkExplorer", 2));
  layout->addStretch();
  return panel;
}

QWidget* FileOpt(FormDialog& dialog) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  for (int i = 0; i < static_cast<int>(kFileRows.size()); ++i)
    layout->addWidget(dialog.Check("chkFile", i));
  layout->addStretch();
  return panel;
}

}  // namespace

std::unique_ptr<FormDialog> MakeWinConfigDialog(frmWinConfig& form) {
  auto dialog = std::make_unique<FormDialog>(form);
  auto* layout = new QVBoxLayout(dialog.get());
  layout->addWidget(dialog->Tabs(
      {{StartMenuXp(*dialog), StartMenuWin7(*dialog)},
       {ListPanel(*dialog, "chkStartProgram", "fgridStartProgram",
                  {"시작 프로그램 목록에서 나타내지 않을 프로그램은 체크를 해제햐여 주십시오."})},
       {WinSkill(*dialog), Explorer(*dialog), FileOpt(*dialog)},
       {ListPanel(*dialog, "chkDesktop", "fgridDesktop",
                  {"바탕화면에서 삭제할 아이콘은 체크를 풀어주십시오.",
                   "(체크하지 않은 아이콘은 바탕화면에서 삭제됩니다.)"})}}));
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
