// frmWinConfig, the window settings editor: the start menu items of both Windows
// generations, the start programs, the window functions and the desktop icons of a window
// configuration document, each as the control that stands for its row.
//
// ShowForm loads the form from a document, shows it through the UI and returns the
// document that OK built (empty after Cancel or the close box, unless an earlier OK of the
// same showing built one). OK leaves the display request and the apply choice in the
// component's shared state.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editors/control_rows.h"
#include "editors/editor_context.h"
#include "editors/form.h"

namespace dav::editors {

// A start menu row shown as a triplet of option buttons: options base, base+1, base+2 stand
// for the Values "0", "1", "2".
struct OptionRow {
  const char* id;
  const char* label;
  int base;
};

// A start menu row shown as a check box. A direct box is checked for "1"; an inverted box is
// checked for anything but "1" and written "0" when checked.
struct CheckRow {
  const char* caption;
  const char* id;
  const char* section;  // WinXP, WinOriginal or Win7
  bool inverted;
};

// A row of the window functions shown as a check box (always direct).
using FlagRow = CaptionRow;

extern const std::array<OptionRow, 6> kXpOptionRows;     // optStartMenu
extern const std::array<OptionRow, 11> kWin7OptionRows;  // optStartMenuWin7
extern const std::array<CheckRow, 18> kXpCheckRows;      // chkStartMenu
extern const std::array<CheckRow, 10> kWin7CheckRows;    // chkStartMenuWin7
extern const std::array<FlagRow, 5> kWinSkillRows;       // chkWinSkill
extern const std::array<FlagRow, 3> kExplorerRows;       // chkExplorer
extern const std::array<FlagRow, 7> kFileRows;           // chkFile
// The pairs of chkStartMenu that stand for one setting and mirror each other.
extern const std::array<std::array<int, 2>, 4> kLinkedStartMenuBoxes;

class frmWinConfig : public Form {
 public:
  explicit frmWinConfig(EditorContext& context);

  std::string ShowForm(const std::string& inputDocument);

  const std::string& input() const { return input_; }
  const std::string& output() const { return output_; }
  // The document of the same editor shown elsewhere (a view in another process), as its OK
  // built it; closes the form.
  void TakeOutput(std::string document) {
    output_ = std::move(document);
    Close();
  }
  // What OK would have built from the controls as loaded, before the user changed anything:
  // the input in this editor's own writing, so that a caller can tell an edited document
  // from the input written anew.
  const std::string& unchangedDocument() const { return unchanged_; }

  // Loading: the document text, or the file of the machine at path when path is not blank.
  void SetXML(const std::string& text, const std::string& path);
  void StartMenuSetXML(const std::string& id, const std::string& value);
  void StartRunSetXML(const std::string& name, const std::string& command,
                      const std::string& checked, const std::string& path, const std::string& hkey,
                      bool isPrevStart, bool deleted, int rowNumber);
  void WinSkillSetXML(const std::string& id, const std::string& value);
  void WinSkillDisplaySetXML(const std::string& resolution, const std::string& colour,
                             const std::string& refresh);
  void ExplorerConfigSetXML(const std::string& id, const std::string& value);
  void FileOptSetXML(const std::string& id, const std::string& value);
  void DesktopSetXML(const std::string& fileName, const std::string& checked, int rowNumber);

  // Saving: the whole document, and its sections.
  std::string XMLStringWinConfig();
  std::string StartMenuGetXML();
  std::string StartProgramGetXML();
  std::string WinSkillGetXML();
  std::string ExplorerConfigGetXML();
  std::string FileOptGetXML();
  std::string DesktopGetXML();

  // The folder browser with a prompt ("폴더를 선택하세요" when empty).
  std::string GetDirectory(std::string_view prompt = {});

  // The display mode in force when the editor opened.
  std::int32_t currentWidth() const { return curWidth_; }

 protected:
  void CheckClicked(std::string_view control, int index) override;
  void ListClicked(std::string_view control, int index) override;
  void ButtonClicked(std::string_view control, int index) override;
  void TabSelected(int index) override;
  void MenuSelected(int index) override;

 private:
  // Opening steps.
  void FormLoad();
  void SetForms();
  void SetStartMenu();
  void SetStartProgram();
  void SetWinSkill();
  void SetDesktop();
  void SetTab(int index);
  void SetMenuSM(int index);
  void SetMenuWS(int index);

  void cboWinSkill_Click(int index);
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdExplorer_Click();

  std::string input_;
  std::string output_;
  std::string unchanged_;
  std::vector<std::int32_t> widths_;
  std::vector<std::int32_t> heights_;
  std::int32_t curWidth_ = 0;
  std::int32_t curHeight_ = 0;
  std::int16_t curColorBits_ = 0;
  std::int16_t curRefresh_ = 0;
  int startRows_ = 0;  // start program rows added while loading
};

}  // namespace dav::editors
