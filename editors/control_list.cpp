#include "editors/control_list.h"

#include <algorithm>
#include <tuple>

namespace dav::editors {
namespace {

// Where the views put a control: its tab and side menu entry. kByIndex: the element's index
// is the menu entry (the control panel of each Windows generation has its own elements).
constexpr int kByIndex = -2;

struct Placement {
  std::string_view form;
  std::string_view control;
  int tab;
  int menu;
};

constexpr Placement kPlacements[] = {
    {"frmWinConfig", "optStartMenu", 0, 0},
    {"frmWinConfig", "chkStartMenu", 0, 0},
    {"frmWinConfig", "optStartMenuWin7", 0, 1},
    {"frmWinConfig", "chkStartMenuWin7", 0, 1},
    {"frmWinConfig", "chkStartProgram", 1, -1},
    {"frmWinConfig", "fgridStartProgram", 1, -1},
    {"frmWinConfig", "chkWinSkill", 2, 0},
    {"frmWinConfig", "cboWinSkill", 2, 0},
    {"frmWinConfig", "chkExplorer", 2, 1},
    {"frmWinConfig", "txtExplorer", 2, 1},
    {"frmWinConfig", "cmdExplorer", 2, 1},
    {"frmWinConfig", "chkFile", 2, 2},
    {"frmWinConfig", "chkDesktop", 3, -1},
    {"frmWinConfig", "fgridDesktop", 3, -1},
    {"frmSysConfig", "chkControlPanel", 0, kByIndex},
    {"frmSysConfig", "fgrid", 0, kByIndex},
    {"frmSysConfig", "cmdAllSelect", 0, kByIndex},
    {"frmSysConfig", "cmdZeroSelect", 0, kByIndex},
    {"frmSysConfig", "chkUseAccess", 1, -1},
    {"frmSysConfig", "fgridDrive", 1, -1},
    {"frmSysConfig", "chkFolder", 2, -1},
    {"frmSysConfig", "txtPath", 2, -1},
    {"frmSysConfig", "cmdInsert", 2, -1},
    {"frmSysConfig", "cmdDelete", 2, -1},
    {"frmSysConfig", "fgridFolder", 2, -1},
};

}  // namespace

const char* KindName(Form::Kind kind) {
  switch (kind) {
    case Form::Kind::kCheck:
      return "check box";
    case Form::Kind::kOption:
      return "option button";
    case Form::Kind::kList:
      return "list";
    case Form::Kind::kText:
      return "text box";
    case Form::Kind::kButton:
      return "button";
    case Form::Kind::kGrid:
      return "grid";
    case Form::Kind::kNone:
      break;
  }
  return "control";
}

std::string CaptionOf(const Form& form, std::string_view control, int index) {
  const auto at = static_cast<std::size_t>(index);
  switch (form.KindOf(control)) {
    case Form::Kind::kCheck:
      return form.Checks(control)[at].caption;
    case Form::Kind::kOption:
      return form.Options(control)[at].caption;
    case Form::Kind::kList:
      return form.Lists(control)[at].label;
    case Form::Kind::kText:
      return form.Texts(control)[at].label;
    case Form::Kind::kButton:
      return form.Buttons(control)[at].caption;
    default:
      break;
  }
  return {};
}

std::vector<ControlInfo> ListControls(const Form& form) {
  std::vector<ControlInfo> controls;
  for (const std::string& name : form.ControlNames()) {
    int tab = -1;
    int menu = -1;
    for (const Placement& p : kPlacements) {
      if (p.form == form.name() && p.control == name) std::tie(tab, menu) = std::tie(p.tab, p.menu);
    }
    for (int i = 0; i < form.Count(name); ++i) {
      controls.push_back(
          {name, i, form.KindOf(name), CaptionOf(form, name, i), tab, menu == kByIndex ? i : menu});
    }
  }
  // Controls shown on every tab go last; the rest by tab and menu entry, names in order.
  std::stable_sort(controls.begin(), controls.end(),
                   [](const ControlInfo& a, const ControlInfo& b) {
                     const auto key = [](const ControlInfo& c) {
                       return std::pair(c.tab < 0 ? 1 << 20 : c.tab, c.menu);
                     };
                     return key(a) < key(b);
                   });
  return controls;
}

std::string PlaceText(const Form& form, const ControlInfo& control) {
  if (control.tab < 0 || static_cast<std::size_t>(control.tab) >= form.tabs.size()) return {};
  const TabPage& page = form.tabs[static_cast<std::size_t>(control.tab)];
  std::string text = "tab " + std::to_string(control.tab) + " " + page.caption;
  if (control.menu >= 0 && static_cast<std::size_t>(control.menu) < page.menu.size()) {
    text += ", menu " + std::to_string(control.menu) + " " +
            page.menu[static_cast<std::size_t>(control.menu)];
  }
  return text;
}

}  // namespace dav::editors
