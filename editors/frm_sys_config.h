// frmSysConfig, the system settings editor: the control panel applets of both Windows
// generations, the blocked system tools with their drives, and the folders whose windows
// are closed, each as the control that stands for its row of a system document.
//
// ShowForm loads the form from a document, shows it through the UI and returns the
// document that OK built (empty after Cancel or the close box). OK leaves the apply choice
// in the component's shared state and closes the editor whatever the choice.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "editors/control_rows.h"
#include "editors/editor_context.h"
#include "editors/form.h"

namespace dav::editors {

// A row of the UsedAccess section shown as a check box of chkUseAccess.
using AccessRow = CaptionRow;
extern const std::array<AccessRow, 8> kUseAccessRows;

class frmSysConfig : public Form {
 public:
  explicit frmSysConfig(EditorContext& context);

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

  // The folder that is never listed: the component's folder without
  // "\Components\DavIrizevez", followed by "\CDKey\plimsa".
  const std::string& protectedFolder() const { return protectedFolder_; }

  // Loading: the document text, or the file of the machine at path when path is not blank.
  void SetXML(const std::string& text, const std::string& path);
  // generation 0 Windows XP, 1 Windows 7.
  void CPSetXML(int generation, const std::string& id, const std::string& displayName,
                const std::string& value, const std::string& disallow);
  void UsedAccessSetXML(const std::string& id, const std::string& value);
  void FolderAccessSetXML(const std::string& id, const std::string& value);

  // Saving.
  std::string XMLStringSysConfig();
  std::string CPGetXML();
  std::string UsedAccessGetXML();
  std::string FolderAccessGetXML();

 protected:
  void CheckClicked(std::string_view control, int index) override;
  void ButtonClicked(std::string_view control, int index) override;
  void GridHovered(std::string_view control, int index) override;
  void TabSelected(int index) override;
  void MenuSelected(int index) override;

 private:
  void FormLoad();
  void SetForms();
  void SetControlPanel();
  void SetUsed();
  void SetFolder();
  void SetTab(int index);
  void SetMenuCP(int index);
  // The drive grid is enabled exactly when drives are blocked or hidden.
  void DriveRule();
  // The folder list and its controls are enabled exactly when folder access is blocked.
  void FolderRule();

  void cmdInsert_Click();
  void cmdDelete_Click();
  void cmdOK_Click();

  std::string input_;
  std::string output_;
  std::string unchanged_;
  std::string protectedFolder_;
};

}  // namespace dav::editors
