// "WINCONFIG" and "SYSCONFIG": the administrator edits the current document in an editor;
// an edited document is applied, and the shell restarted only when the administrator chose
// to restart it now.
#include <string>

#include "core/component.h"
#include "core/section_scope.h"
#include "editors/editor_context.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "listdoc/md_type_define.h"

namespace dav::core {
namespace {

constexpr char kSpecVersion[] = "1.0.0";
constexpr char kComponent[] = "DavIrizevez";

// The document an editor returned, or empty when nothing is to be applied: a blank text
// (Cancel), the text handed over, or the text the editor writes for the handed-over
// document itself (OK without a change; the editor writes some rows in its own way).
template <typename Form>
std::string EditedDocument(Form& form, const std::string& in) {
  const std::string out = form.ShowForm(in);
  if (IsBlank(out) || out == in || out == form.unchangedDocument()) return {};
  return out;
}

}  // namespace

void CCDavIrizevez::EditDocument(util::Procedure& handle, const std::string& cmd, bool system) {
  handle.Line(10);
  if (!formUi_) {
    log_.Write("CCDavIrizevez.IClientComponent_Handle " + cmd +
               ": no settings editor is available; nothing applied");
    return;
  }
  editors::EditorContext context{log_, *formUi_, state_.displayCatalogue.get(),
                                 state_.requests.display, state_.editorClosingChoice};
  handle.Line(20);
  const std::string in =
      mdTypeDefine::XMLDocument(kSpecVersion, system ? MakeSysConfigXML() : MakeWinConfigXML());
  handle.Line(30);
  std::string out;
  if (system) {
    editors::frmSysConfig form(context);
    out = EditedDocument(form, in);
  } else {
    editors::frmWinConfig form(context);
    out = EditedDocument(form, in);
  }
  handle.Line(40);
  if (out.empty()) return;
  const bool restart = state_.editorClosingChoice == editors::kChoiceRestartShell;
  if (system) {
    ApplySysConfigXML(out, std::string(), false);
    handle.Line(50);
    if (restart) ShellRestart();
    handle.Line(60);
    host_.PostNotice(kComponent, "APL_FASETTING", 1);
  } else {
    ApplyWinConfigXML(out, std::string(), false);
    if (restart) {
      handle.Line(50);
      DisplayChange();
      handle.Line(60);
      ShellRestart();
    }
  }
}

}  // namespace dav::core
