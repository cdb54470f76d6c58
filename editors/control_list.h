// The controls a script can name on a form, as "davhost edit --list-controls" shows them:
// name, index, kind, caption and the tab (and side menu entry) that shows them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editors/form.h"

namespace dav::editors {

struct ControlInfo {
  std::string name;
  int index = 0;
  Form::Kind kind = Form::Kind::kNone;
  std::string caption;  // the caption or label; empty for grids
  int tab = -1;         // -1: shown whatever the tab
  int menu = -1;        // the side menu entry of the tab; -1 when the tab shows it throughout
};

// "check box", "grid" ...
const char* KindName(Form::Kind kind);

// The caption of a check box, option button or button, the label of a list or text box;
// empty for a grid.
std::string CaptionOf(const Form& form, std::string_view control, int index);

// Every element of every control of the form, by tab and side menu entry (the controls shown
// on every tab last), then by name and index.
std::vector<ControlInfo> ListControls(const Form& form);

// "tab 2 윈도우 기능 관리, menu 1 익스플로러 설정" with the form's captions; empty for
// a control shown on every tab.
std::string PlaceText(const Form& form, const ControlInfo& control);

}  // namespace dav::editors
