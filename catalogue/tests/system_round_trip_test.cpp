// The system document's sections, produced on a set-up PC, applied to a PC nobody has set
// up and produced again, give the same text, for each generation.
#include <gtest/gtest.h>

#include "catalogue/access.h"
#include "catalogue/control_panel.h"
#include "catalogue/document_conventions.h"
#include "catalogue/tests/system_sections_fixture.h"

namespace dav::catalogue::system_testing {
namespace {

std::string Produce(SectionContext& ctx) {
  return modDavIrizevez::XMLStringControlPanel(ctx) + modDavIrizevez::XMLStringUsedAccess(ctx) +
         modDavIrizevez::XMLStringFolderAccess(ctx);
}

// As the system document is applied: the control panel form of the generation (with
// neither, the "//" path takes both forms), then the other two sections.
void Apply(SectionContext& ctx, const std::string& body, const std::string& form) {
  const xml::Document document = LoadSysDocument(body);
  const std::string controlMngr = "DocRoot/Configuration/ControlMngr/" + form;
  modDavIrizevez::GetXMLControlPanel(ctx, document.selectNodes(controlMngr + "/CPLList"),
                                     document.selectNodes(controlMngr + "/Row"));
  modDavIrizevez::GetXMLUsedAccess(ctx, document.selectNodes(SectionRowsPath("UsedAccess")));
  modDavIrizevez::GetXMLFolderAccess(ctx, document.selectNodes(SectionRowsPath("FolderAccess")));
}

TEST(SystemRoundTrip, ProducedSectionsApplyToAFreshPcAndProduceTheSameText) {
  for (const std::string form : {"WinXP", "Win7", ""}) {
    SCOPED_TRACE("generation: " + (form.empty() ? std::string("neither") : form));
    SystemMachine pc(form == "WinXP", form == "Win7");
    pc.SetText(kHKCU, kDontLoad, "access.cpl", "No");
    pc.reg().CreateKey(kHKLM, kAdminTools);
    pc.SetText(kHKCU, kDisallowList, "windows defender", "windows defender");
    pc.reg().CreateKey(kHKLM, kNameSpace + std::string("\\{78CB147A-98EA-4AA6-B0DF-C8681F69341C}"));
    for (const char* name : {"NoControlPanel", "NoPropertiesMyComputer", "NoViewOnDrive"}) {
      pc.reg().WriteDWORD(kHKLM, kExplorerPolicies, name, 1);
    }
    pc.reg().WriteDWORD(kHKLM, kExplorerPolicies, "NoDrives", 4);
    pc.reg().WriteDWORD(kHKCU, kCommandPolicies, "DisableCMD", 1);
    for (const char* name : {"DisableTaskMgr", "NoDispBackgroundPage", "NoDispScrSavPage",
                             "NoDispAppearancePage", "NoDispSettingsPage"}) {
      pc.reg().WriteDWORD(kHKCU, kSystemPolicies, name, 1);
    }
    pc.reg().WriteDWORD(kHKCU, kExplorerPolicies, "NoThemesTab", 1);
    pc.SetIni("setting", "0", "MQ==");
    pc.SetIni("value", "0", "QzpcRGF0YQ==");
    pc.SetIni("value", "1", "RDpcRG9jcw==");

    const std::string first = Produce(pc.ctx());
    pc.Clear();
    ASSERT_NE(Produce(pc.ctx()), first) << "the PC was not set back";
    Apply(pc.ctx(), first, form);
    EXPECT_EQ(Produce(pc.ctx()), first);
  }
}

}  // namespace
}  // namespace dav::catalogue::system_testing
