// What the editors need on the scratch PC: a log that writes nothing (its folder does not
// exist), the PC's display catalogue, and the shared values an editor leaves behind.
// Edit shows the window (or system) editor on a document through a UI and returns OK's
// document with what the editor loaded, written again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "display/cls_available_info.h"
#include "editors/editor_context.h"
#include "editors/form_ui.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "fuzz/scratch_machine.h"
#include "platform/dialogs.h"
#include "util/log.h"

namespace dav::fuzz {

// Closes every form at once, as the close box does; message boxes answer OK, and nothing
// is recorded.
class ClosingUi : public editors::FormUi, public platform::Dialogs {
 public:
  void Show(editors::frmWinConfig&) override {}
  void Show(editors::frmSysConfig&) override {}
  void Show(editors::frmMsg&) override {}
  int ShowMessage(std::string_view, std::string_view, std::uint32_t) override {
    return platform::kIdOk;
  }
  std::string BrowseForFolder(std::string_view) override { return {}; }
};

struct Edited {
  std::string output;     // the document OK built, empty without OK
  std::string unchanged;  // the document as loaded, written again
};

class ScratchEditor {
 public:
  ScratchEditor()
      : log_(ScratchMachine::Get(), "C:\\no log"),
        catalogue_(ScratchMachine::Get().display(), ScratchMachine::Get().clock()) {}

  Edited Edit(editors::FormUi& ui, bool system, const std::string& document) {
    editors::EditorContext context{log_, ui, &catalogue_, request_, choice_};
    if (system) return Show<editors::frmSysConfig>(context, document);
    return Show<editors::frmWinConfig>(context, document);
  }

  // Whether what the editor writes of a document it wrote itself loads again as itself. A
  // document of other hands may take one round to settle: an option row it lacks is written
  // empty, and an empty one reads as the first option.
  bool Settles(bool system, const std::string& written) {
    ClosingUi ui;
    const std::string once = Edit(ui, system, written).unchanged;
    return Edit(ui, system, once).unchanged == once;
  }

 private:
  template <typename Form>
  static Edited Show(editors::EditorContext& context, const std::string& document) {
    Form form(context);
    Edited edited;
    edited.output = form.ShowForm(document);
    edited.unchanged = form.unchangedDocument();
    return edited;
  }

  util::Log log_;
  clsAvailableInfo catalogue_;
  catalogue::DisplayRequest request_;
  std::int32_t choice_ = 0;
};

}  // namespace dav::fuzz
