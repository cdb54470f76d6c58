// The legacy settings document: one document with all of the older sections (system, shell,
// folders, display, drives, control panel, printers, programs, browser, file lists) that
// the component only applies. Three public operations apply it:
//  - ApplyXML_ManagerLogin(file), also for "APL_PREVWS": the older start menu applier;
//  - ApplyXML_ManagerLogoff(file): the current start menu applier, nothing logged but the
//    document and why it did not load;
//  - ApplyWindowSettingXML(text): also the start programs, the desktop icons and the display
//    mode of the document, which is then kept as "DavIrizevez.qsf".
// A failing section never keeps the following ones from being applied.
#include <functional>
#include <string>
#include <vector>

#include "catalogue/control_panel.h"
#include "catalogue/legacy_browser_sections.h"
#include "catalogue/legacy_drive_sections.h"
#include "catalogue/legacy_system_sections.h"
#include "catalogue/start_menu.h"
#include "core/component.h"
#include "core/section_scope.h"
#include "listdoc/md_type_define.h"
#include "xml/document.h"
#include "xml/parse_error.h"

namespace dav::core {
namespace {

// The line numbers of the sections common to the three operations.
struct LegacyLines {
  int sysMngr, windowShell, startMenu, folderSet, display, diskMngr, controlMngr, displayControl,
      npConfig, appwiz, iexConfig, internetOption, fileOrder;
};

constexpr LegacyLines kManagerLines{90, 120, 160, 200, 230, 260, 300, 340, 370, 410, 460, 520, 570};
constexpr LegacyLines kWindowSettingLines{80,  110, 150, 190, 280, 340, 380,
                                          420, 450, 490, 540, 600, 650};

}  // namespace

void CCDavIrizevez::ApplyLegacySections(const xml::Document& doc, LegacyUse use,
                                        const LegacyStep& step, const LegacyHandOffs* handOffs) {
  SectionScope sections(log_, state_);
  catalogue::SectionContext& ctx = sections.ctx();
  const LegacyLines& lines = use == LegacyUse::kWindowSetting ? kWindowSettingLines : kManagerLines;
  const auto rows = [&](const std::string& steps) { return doc.selectNodes(SectionPath(steps)); };

  step(lines.sysMngr,
       [&] { modDavIrizevez::GetXMLSysMngr(ctx, rows("/SysMngr/Row"), state_.componentKey); });
  step(lines.windowShell,
       [&] { modDavIrizevez::GetXMLWindowShell(ctx, rows("/WindowShell/Row")); });
  step(lines.startMenu, [&] {
    if (use == LegacyUse::kManagerLogin) {
      modDavIrizevez::GetXMLStartMenu(ctx, rows("/StartMenu/WinXP/Row"),
                                      rows("/StartMenu/WinOriginal/Row"));
    } else {
      modDavIrizevez::GetXMLStartMenu_WinXP(ctx, rows("/StartMenu/WinXP/Row"),
                                            rows("/StartMenu/WinOriginal/Row"));
    }
  });
  step(lines.folderSet, [&] { modDavIrizevez::GetXMLFolderSet(ctx, rows("/FolderSet/Row")); });
  if (handOffs != nullptr) handOffs->startPrograms();
  step(lines.display, [&] {
    if (use == LegacyUse::kWindowSetting) {
      modDavIrizevez::GetXMLDisplay(ctx, rows("/DisplayConfig/Row"),
                                    rows("/DisplayConfig/DisplayList"));
    } else {
      modDavIrizevez::GetXMLDisplay(ctx, rows("/DisplayConfig/Row"));
    }
  });
  if (handOffs != nullptr) handOffs->desktopIcons();
  step(lines.diskMngr, [&] { modDavIrizevez::GetXMLDiskMngr(ctx, rows("/DiskMngr/Row")); });
  step(lines.controlMngr, [&] {
    modDavIrizevez::GetXMLControlMngr(ctx, rows("/ControlMngr/CPLList"), rows("/ControlMngr/Row"));
  });
  step(lines.displayControl,
       [&] { modDavIrizevez::GetXMLDisplayControl(ctx, rows("/DisplayControl/Row")); });
  step(lines.npConfig, [&] { modDavIrizevez::GetXMLNPConfig(ctx, rows("/NPConfig/Row")); });
  step(lines.appwiz,
       [&] { modDavIrizevez::GetXMLAppwiz(ctx, rows("/Appwiz/AppList"), rows("/Appwiz/Row")); });
  step(lines.iexConfig, [&] {
    modDavIrizevez::GetXMLIExConfig(ctx, rows("/IExConfig/Row"), rows("/IExConfig/ExConfig"));
  });
  step(lines.internetOption, [&] {
    modDavIrizevez::GetXMLInternetOption(ctx, rows("/InternetOption/General/Row"),
                                         rows("/InternetOption/Preservation/Row"),
                                         rows("/InternetOption/Link/Row"));
  });
  step(lines.fileOrder, [&] { modDavIrizevez::GetXMLFileOrder(ctx, rows("/FileOrder/Row")); });
}

void CCDavIrizevez::ApplyXML_ManagerLogin(const std::string& m_XMLFileName) {
  util::Procedure proc(log_, "CCDavIrizevez", "ApplyXML_ManagerLogin");
  xml::Document doc;
  bool loaded = false;
  proc.Step(50, [&] { loaded = LoadDocument(log_, doc, std::string(), m_XMLFileName); });
  if (!loaded) return;
  proc.Step(70, [&] { log_.Debug("다운받은 XML 내용 : " + doc.xml()); });
  ApplyLegacySections(
      doc, LegacyUse::kManagerLogin,
      [&](int line, const std::function<void()>& body) { return proc.Step(line, body); });
}

void CCDavIrizevez::ApplyXML_ManagerLogoff(const std::string& m_XMLFileName) {
  // Logs nothing of its own: a failing step is passed over in silence.
  util::Procedure proc(log_, "CCDavIrizevez", "ApplyXML_ManagerLogoff",
                       util::Procedure::Logging::FailuresOnly);
  const LegacyStep quiet = [&](int line, const std::function<void()>& body) {
    return proc.Step(line, body, [](int, const util::Failure&) {});
  };
  xml::Document doc;
  bool loaded = false;
  quiet(50, [&] { loaded = LoadDocument(log_, doc, std::string(), m_XMLFileName); });
  if (!loaded) return;
  quiet(70, [&] { log_.Debug("다운받은 XML 내용 : " + doc.xml()); });
  ApplyLegacySections(doc, LegacyUse::kManagerLogoff, quiet);
}

void CCDavIrizevez::ApplyWindowSettingXML(const std::string& sXML) {
  util::Procedure proc(log_, "CCDavIrizevez", "ApplyWindowSettingXML",
                       util::Procedure::Logging::FailuresOnly);
  const LegacyStep quiet = [&](int line, const std::function<void()>& body) {
    return proc.Step(line, body, [](int, const util::Failure&) {});
  };
  xml::Document doc;
  bool loaded = false;
  quiet(40, [&] { loaded = doc.loadXML(sXML); });
  if (!loaded) {
    quiet(700, [&] {
      log_.Debug("XML 내용 : " + doc.xml());
      xml::LogParseError(log_, doc.parseError());
    });
    return;
  }
  quiet(60, [&] { log_.Debug("다운받은 XML 내용 : " + doc.xml()); });

  // The document's start program and desktop icon lists, each handed on only when its
  // section was read whole: a document without them leaves the managers' lists alone
  // rather than handing them empty lists, which would clear what the user has. The icon
  // machinery refuses file names that would lead out of their folder.
  const LegacyHandOffs handOffs{
      [&] {
        bool isProtected = false;
        std::vector<mdTypeDefine::UType_SPMData> startList;
        std::vector<mdTypeDefine::UType_DIData> folderList;
        if (quiet(210, [&] {
              mdTypeDefine::ParseSPMListLegacy(log_, sXML, &isProtected, &startList, &folderList);
            })) {
          startup::StartProgramManager startPrograms = StartPrograms();
          quiet(220, [&] { EnableOpt(isProtected); });
          quiet(230, [&] { startPrograms.List(startList); });
          quiet(240, [&] { ListFolder(folderList); });
          quiet(250, [&] { startPrograms.EditStartReg(); });
        }
      },
      [&] {
        bool isProtected = false;
        std::vector<mdTypeDefine::UType_DIData> icons;
        if (quiet(310, [&] { mdTypeDefine::ParseDIList(log_, sXML, &isProtected, &icons); })) {
          quiet(320, [&] {
            desktopIcons_.ApplyDesktopIconList(isProtected, icons, desktop::kModeDesktop);
          });
        }
      }};
  ApplyLegacySections(doc, LegacyUse::kWindowSetting, quiet, &handOffs);
  quiet(670, [&] { doc.save(platform_.files(), ComponentFile("DavIrizevez.qsf")); });
}

}  // namespace dav::core
