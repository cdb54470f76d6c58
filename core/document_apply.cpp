// Applying a whole window or system document section by section, in a fixed order, and
// producing both documents' bodies from the machine. Every step carries its line number;
// a failing step is logged and the next one runs, so one bad section never keeps the others
// from being applied or produced.
#include <string>
#include <utility>
#include <vector>

#include "catalogue/access.h"
#include "catalogue/control_panel.h"
#include "catalogue/start_menu.h"
#include "catalogue/window_skill.h"
#include "core/component.h"
#include "core/section_scope.h"
#include "listdoc/md_type_define.h"
#include "xml/document.h"

namespace dav::core {
void CCDavIrizevez::ApplyWinConfigXML(const std::string& sXML, const std::string& sPath,
                                      bool bLogin) {
  util::Procedure proc(log_, "CCDavIrizevez", "ApplyWinConfigXML");
  SectionScope sections(log_, state_);
  catalogue::SectionContext& ctx = sections.ctx();
  xml::Document doc;
  bool loaded = false;
  proc.Step(60, [&] { loaded = LoadDocument(log_, doc, sXML, sPath); });
  if (!loaded) return;

  if (state_.winXP) {
    proc.Step(260, [&] {
      modDavIrizevez::GetXMLStartMenu_WinXP(
          ctx, doc.selectNodes(SectionPath("/StartMenu/WinXP/Row")),
          doc.selectNodes(SectionPath("/StartMenu/WinOriginal/Row")));
    });
  } else if (state_.win7) {
    proc.Step(290, [&] {
      modDavIrizevez::GetXMLStartMenu_Win7(ctx,
                                           doc.selectNodes(SectionPath("/StartMenu/Win7/Row")));
    });
  }

  if (!bLogin) {
    // A document loaded from sPath is read from its own text. A section that cannot be read
    // (missing, or a RunKey without one of its attributes) changes nothing: its protection
    // flag and a half-read list would otherwise be taken for the administrator's.
    startup::StartProgramManager spm = StartPrograms();
    bool isProtected = false;
    std::vector<mdTypeDefine::UType_SPMData> list;
    if (proc.Step(340, [&] {
          mdTypeDefine::ParseSPMList(log_, IsBlank(sXML) ? doc.xml() : sXML, &isProtected, &list);
        })) {
      proc.Step(350, [&] { EnableOpt(isProtected); });
      proc.Step(360, [&] { spm.List(list); });
      proc.Step(370, [&] { spm.EditStartReg(); });
    }
  }

  proc.Step(410, [&] {
    modDavIrizevez::GetXMLWinSkill(ctx, doc.selectNodes(SectionPath("/WinSkill/Row")),
                                   doc.selectNodes(SectionPath("/WinSkill/DisplayList")), bLogin);
  });
  // A missing ExplorerConfig element or attribute fails its own step only; the rows are
  // applied with what could be read.
  xml::Node explorer;
  std::string titleBar;
  std::string downFolder;
  proc.Step(440, [&] { explorer = doc.selectSingleNode(SectionPath("/ExplorerConfig")); });
  proc.Step(450, [&] { titleBar = AttributeText(explorer, "TitleBar"); });
  proc.Step(460, [&] { downFolder = AttributeText(explorer, "DownFolder"); });
  proc.Step(480, [&] {
    modDavIrizevez::GetXMLExplorerConfig(ctx, doc.selectNodes(SectionPath("/ExplorerConfig/Row")),
                                         titleBar, downFolder);
  });
  proc.Step(510, [&] {
    modDavIrizevez::GetXMLFileOpt(ctx, doc.selectNodes(SectionPath("/FileOpt/Row")));
  });

  if (!bLogin) {
    bool iconsProtected = false;
    desktop::IconList icons;
    // As at 340, a document loaded from sPath is read from its own text, and a section that
    // cannot be read whole changes nothing: the icons after an unreadable one would count as
    // not approved and be deleted, from the desktops and from the backup.
    if (proc.Step(540, [&] {
          mdTypeDefine::ParseDIList(log_, IsBlank(sXML) ? doc.xml() : sXML, &iconsProtected,
                                    &icons);
        })) {
      proc.Step(550, [&] {
        desktopIcons_.ApplyDesktopIconList(iconsProtected, icons, desktop::kModeDesktop);
      });
    }
    const catalogue::CleanUpRequests& cleanUp = state_.requests.cleanUp;
    const std::pair<int, std::pair<const std::string*, const char*>> notices[] = {
        {560, {&cleanUp.garbage, "APL_GARBAGE"}},
        {570, {&cleanUp.tempFiles, "APL_TEMPFILE"}},
        {580, {&cleanUp.tempFolders, "APL_TEMPFOLDER"}},
        {590, {&cleanUp.history, "APL_HISTORY"}},
        {600, {&cleanUp.documents, "APL_DOC"}}};
    for (const auto& entry : notices) {
      const auto& notice = entry.second;  // a named variable: lambdas cannot capture bindings
      proc.Step(entry.first, [&] {
        if (*notice.first == "1") host_.PostNotice("ZezOvezorara", notice.second, 1);
      });
    }
  }

  // Only a document that came as text is saved; blanks count as text here, so a blank sXML
  // saves the document loaded from sPath.
  if (!sXML.empty()) {
    proc.Step(620, [&] { doc.save(platform_.files(), ComponentFile("WinConfig.qsf")); });
  }
}

void CCDavIrizevez::ApplySysConfigXML(const std::string& sXML, const std::string& sPath,
                                      bool bLogin) {
  util::Procedure proc(log_, "CCDavIrizevez", "ApplySysConfigXML");
  SectionScope sections(log_, state_);
  catalogue::SectionContext& ctx = sections.ctx();
  xml::Document doc;
  bool loaded = false;
  proc.Step(60, [&] { loaded = LoadDocument(log_, doc, sXML, sPath); });
  if (!loaded) return;

  const std::string form = FormStep(state_);
  proc.Step(300, [&] {
    modDavIrizevez::GetXMLControlPanel(
        ctx, doc.selectNodes(SectionPath("/ControlMngr/" + form + "/CPLList")),
        doc.selectNodes(SectionPath("/ControlMngr/" + form + "/Row")));
  });
  proc.Step(340, [&] {
    modDavIrizevez::GetXMLUsedAccess(ctx, doc.selectNodes(SectionPath("/UsedAccess/Row")));
  });
  if (!bLogin) {
    proc.Step(380, [&] {
      modDavIrizevez::GetXMLFolderAccess(ctx, doc.selectNodes(SectionPath("/FolderAccess/Row")));
    });
  }
  if (!sXML.empty()) {
    proc.Step(410, [&] { doc.save(platform_.files(), ComponentFile("SysConfig.qsf")); });
  }
}

std::string CCDavIrizevez::MakeWinConfigXML() {
  util::Procedure proc(log_, "CCDavIrizevez", "MakeWinConfigXML");
  SectionScope sections(log_, state_);
  std::string body;
  std::string result;
  proc.Step(30, [&] { body = modDavIrizevez::XMLStringStartMenu(sections.ctx()); });
  proc.Step(40, [&] { SyncReg(false); });
  proc.Step(50, [&] {
    startup::StartProgramManager spm = StartPrograms();
    const bool enabled = spm.EnableOpt();
    body += mdTypeDefine::XMLStringSPMList(log_, enabled, spm.List());
  });
  proc.Step(60, [&] { body += modDavIrizevez::XMLStringWinSkill(sections.ctx()); });
  desktop::IconList icons;
  proc.Step(70, [&] {
    desktopIcons_.GetDesktopIconList(icons, desktopIcons_.EnableAutoRecover(),
                                     desktop::kModeDesktop);
  });
  proc.Step(
      80, [&] { body += mdTypeDefine::XMLStringDIList(desktopIcons_.EnableAutoRecover(), icons); });
  proc.Step(90, [&] { result = body; });
  proc.Step(100, [&] { log_.Debug(body); });
  return result;
}

std::string CCDavIrizevez::MakeSysConfigXML() {
  util::Procedure proc(log_, "CCDavIrizevez", "MakeSysConfigXML");
  SectionScope sections(log_, state_);
  std::string body;
  std::string result;
  proc.Step(30, [&] { body = modDavIrizevez::XMLStringControlPanel(sections.ctx()); });
  proc.Step(40, [&] { body += modDavIrizevez::XMLStringUsedAccess(sections.ctx()); });
  proc.Step(50, [&] { body += modDavIrizevez::XMLStringFolderAccess(sections.ctx()); });
  proc.Step(60, [&] { result = body; });
  proc.Step(70, [&] { log_.Debug(body); });
  return result;
}

}  // namespace dav::core
