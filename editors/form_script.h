// The script driver: shows the editors without a desktop by carrying out a script of the
// user's actions, one per line, on whichever form is open at the time. Used by hosts
// without a display and by tests.
//
//   # a comment; blank lines are skipped
//   check CONTROL            a check box set checked (a click when it changes)
//   uncheck CONTROL
//   click CONTROL            a check box toggled, an option button chosen, a button pressed
//   select CONTROL TEXT      the list item with that text chosen
//   text CONTROL TEXT        a text box's text typed
//   cell GRID ROW KEY TEXT   a grid cell edited (KEY is the column key, as "check")
//   current GRID ROW COL     a grid cell made current (as before pressing 삭제)
//   hover GRID ROW COL       the mouse over a grid cell
//   tab N / menu N           a tab, or a side menu entry of the shown tab, chosen
//   add PATH                 PATH typed into txtPath and 추가 pressed
//   browse PATH              찾아보기 pressed and PATH chosen in the folder browser
//                            (browse "" cancels the browser)
//   ok / cancel / close      확인 or 취소 pressed, or the window's close box
//   choose 6 / 7 / close     on frmMsg: 쉘 프로세스 다시 시작, 재부팅 후 적용, or the close box
//
// CONTROL is a name with an optional index, chkUseAccess(0) or cmdOK, or the control's
// caption in double quotes, "윈도우 명령 프롬프트 실행 차단". A quoted text keeps its blanks
// and backslashes; "" inside it stands for one double quote.
//
// A line that is not an action is refused when the script is read; a control the shown
// form does not have, a disabled control or an action for another form stops the script
// when it is carried out. Either error names the script's line.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "editors/form.h"
#include "editors/form_ui.h"
#include "platform/dialogs.h"

namespace dav::editors {

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ScriptAction {
  int line = 0;
  std::string verb;
  std::vector<std::string> args;
  std::vector<bool> quoted;  // per argument: written in double quotes
};

// Reads a script; a ScriptError ("line N: ...") for the first line that is no action.
std::vector<ScriptAction> ParseScript(std::string_view text);

class ScriptUi : public FormUi {
 public:
  // Message boxes go to dialogs, so that the platform records them too.
  ScriptUi(std::vector<ScriptAction> actions, platform::Dialogs& dialogs);

  void Show(frmWinConfig& form) override;
  void Show(frmSysConfig& form) override;
  void Show(frmMsg& form) override;
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override;
  std::string BrowseForFolder(std::string_view prompt) override;

  // The first error of carrying out the script, empty when there was none.
  const std::string& error() const { return error_; }
  // The message boxes shown, "title: text".
  const std::vector<std::string>& messages() const { return messages_; }
  // The actions not carried out because every form had closed before them.
  std::vector<ScriptAction> Unused() const;

 private:
  // Carries out actions on the form until it closes. A failure closes every open form
  // without OK; when the outermost form has closed, the failure is raised as ScriptError.
  void Drive(Form& form);
  void Perform(Form& form, const ScriptAction& action);

  std::vector<ScriptAction> actions_;
  std::size_t next_ = 0;
  platform::Dialogs& dialogs_;
  int depth_ = 0;
  std::string error_;
  std::vector<std::string> messages_;
  std::string folderAnswer_;
};

}  // namespace dav::editors
