// ApplyManagerLogin: the manager document lifts the lock-down while a manager is logged in.
// It carries sections of both the window and the system document with lenient values; only
// the registry sections are applied. Start programs, desktop icons and folder access stay
// as the user's lock-down left them, no clean-up is asked for and nothing is saved, so that
// log-off can put the user's saved documents back.
#include <string>

#include "catalogue/access.h"
#include "catalogue/control_panel.h"
#include "catalogue/start_menu.h"
#include "catalogue/window_skill.h"
#include "core/component.h"
#include "core/section_scope.h"
#include "xml/document.h"

namespace dav::core {

void CCDavIrizevez::ApplyManagerLogin(const std::string& path) {
  util::Procedure proc(log_, "CCDavIrizevez", "ApplyManagerLogin");
  SectionScope sections(log_, state_);
  catalogue::SectionContext& ctx = sections.ctx();
  xml::Document doc;
  bool loaded = false;
  proc.Step(50, [&] { loaded = LoadDocument(log_, doc, std::string(), path); });
  if (!loaded) return;

  const std::string form = FormStep(state_);
  proc.Step(260, [&] {
    modDavIrizevez::GetXMLControlPanel(
        ctx, doc.selectNodes(SectionPath("/ControlMngr/" + form + "/CPLList")),
        doc.selectNodes(SectionPath("/ControlMngr/" + form + "/Row")));
  });
  proc.Step(300, [&] {
    modDavIrizevez::GetXMLUsedAccess(ctx, doc.selectNodes(SectionPath("/UsedAccess/Row")));
  });

  if (state_.winXP) {
    proc.Step(350, [&] {
      modDavIrizevez::GetXMLStartMenu_WinXP(
          ctx, doc.selectNodes(SectionPath("/StartMenu/WinXP/Row")),
          doc.selectNodes(SectionPath("/StartMenu/WinOriginal/Row")));
    });
  } else if (state_.win7) {
    proc.Step(380, [&] {
      modDavIrizevez::GetXMLStartMenu_Win7(ctx,
                                           doc.selectNodes(SectionPath("/StartMenu/Win7/Row")));
    });
  }

  // The manager's display mode is not kept: the window skill rows apply as on log-off.
  proc.Step(440, [&] {
    modDavIrizevez::GetXMLWinSkill(ctx, doc.selectNodes(SectionPath("/WinSkill/Row")),
                                   doc.selectNodes(SectionPath("/WinSkill/DisplayList")), true);
  });

  xml::Node explorer;
  std::string titleBar;
  std::string downFolder;
  proc.Step(470, [&] { explorer = doc.selectSingleNode(SectionPath("/ExplorerConfig")); });
  proc.Step(480, [&] { titleBar = AttributeText(explorer, "TitleBar"); });
  proc.Step(490, [&] { downFolder = AttributeText(explorer, "DownFolder"); });
  proc.Step(510, [&] {
    modDavIrizevez::GetXMLExplorerConfig(ctx, doc.selectNodes(SectionPath("/ExplorerConfig/Row")),
                                         titleBar, downFolder);
  });
  proc.Step(540, [&] {
    modDavIrizevez::GetXMLFileOpt(ctx, doc.selectNodes(SectionPath("/FileOpt/Row")));
  });
}

}  // namespace dav::core
