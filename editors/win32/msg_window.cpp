// The apply-choice dialog: its three lines of text and the two choices.
#include "editors/win32/dialogs.h"

namespace dav::editors::win32 {

void LayOutMsg(FormWindow& window, frmMsg& form) {
  window.Panel(-1, -1);
  for (const std::string& line : form.lines) window.Row({Text(line)}, 34);
  window.Gap(8);
  window.Row({Text(""), Control("Command1", 0, 190), Control("Command2", 0, 130)}, 28);
}

}  // namespace dav::editors::win32
