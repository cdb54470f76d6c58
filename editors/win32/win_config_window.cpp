// The window settings editor: four tabs, the start menus of both generations, the start
// programs, the window functions and the desktop icons.
#include "editors/win32/dialogs.h"

namespace dav::editors::win32 {
namespace {

constexpr int kLabel = 100;
constexpr int kFirstOption = 140;

// The first option of each row ("do not show") has the shortest caption: the other two
// share the room it leaves.
template <typename Rows>
void OptionRows(FormWindow& window, const Rows& rows, const std::string& control) {
  for (const OptionRow& row : rows) {
    window.Row({Text(row.label, kLabel), Control(control, row.base, kFirstOption),
                Control(control, row.base + 1), Control(control, row.base + 2)});
  }
}

// Check boxes three to a row, from first to last (exclusive), beside an empty label.
void CheckRows(FormWindow& window, const std::string& control, int first, int last) {
  for (int i = first; i < last; i += 3) {
    std::vector<Cell> cells{Text("", kLabel)};
    for (int k = i; k < i + 3; ++k) {
      const int width = k == i ? kFirstOption : 0;
      cells.push_back(k < last ? Control(control, k, width) : Text("", width));
    }
    window.Row(cells);
  }
}

// A protected flag, notes, the select-all box over the grid's check column, and the grid.
void ListPanel(FormWindow& window, const std::string& box, const std::string& grid,
               const std::vector<std::string>& notes) {
  window.Row({Control(box, 0)});
  for (const std::string& note : notes) window.Row({Text(note)}, 20);
  window.Row({Control(box, 1, 24), Text("전체 선택")});
  window.Row({Control(grid)}, 0, true);
}

}  // namespace

void LayOutWinConfig(FormWindow& window, frmWinConfig& form) {
  window.AddTabs(44);
  window.Panel(0, 0);
  window.Row({Text("XP 시작 메뉴")}, 20);
  OptionRows(window, kXpOptionRows, "optStartMenu");
  CheckRows(window, "chkStartMenu", 0, 9);
  window.Row({Text("이전 윈도우 시작 메뉴")}, 20);
  CheckRows(window, "chkStartMenu", 9, 18);

  window.Panel(0, 1);
  OptionRows(window, kWin7OptionRows, "optStartMenuWin7");
  CheckRows(window, "chkStartMenuWin7", 0, static_cast<int>(kWin7CheckRows.size()));

  window.Panel(1, 0);
  ListPanel(window, "chkStartProgram", "fgridStartProgram",
            {"시작 프로그램 목록에서 나타내지 않을 프로그램은 체크를 해제햐여 주십시오."});

  window.Panel(2, 0);
  for (int i = 0; i < static_cast<int>(kWinSkillRows.size()); ++i)
    window.Row({Control("chkWinSkill", i)});
  window.Gap(8);
  for (int i = 0; i < 3; ++i) {
    window.Row({Text(form.Lists("cboWinSkill")[static_cast<std::size_t>(i)].label, kLabel),
                Control("cboWinSkill", i, 220), Text("")},
               24);
  }

  window.Panel(2, 1);
  for (int i = 0; i < 2; ++i) {
    window.Row({Control("chkExplorer", i)});
    std::vector<Cell> row{
        Text(form.Texts("txtExplorer")[static_cast<std::size_t>(i)].label, kLabel),
        Control("txtExplorer", i)};
    if (i == 1) row.push_back(Control("cmdExplorer", 0, 90));
    window.Row(row, 24);
  }
  window.Row({Control("chkExplorer", 2)});

  window.Panel(2, 2);
  for (int i = 0; i < static_cast<int>(kFileRows.size()); ++i) window.Row({Control("chkFile", i)});

  window.Panel(3, 0);
  ListPanel(window, "chkDesktop", "fgridDesktop",
            {"바탕화면에서 삭제할 아이콘은 체크를 풀어주십시오.",
             "(체크하지 않은 아이콘은 바탕화면에서 삭제됩니다.)"});

  window.Panel(-1, -1);
  window.Row({Text(""), Control("cmdOK", 0, 90), Control("cmdCancel", 0, 90)}, 28);
}

}  // namespace dav::editors::win32
