#include "catalogue/control_panel.h"

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "catalogue/tests/system_sections_fixture.h"
#include "util/run_time_error.h"

namespace dav::catalogue::system_testing {
namespace {

using modDavIrizevez::GetXMLControlPanel;
using modDavIrizevez::XMLStringControlPanel;

const std::string kUpgrade = "{BE122A0E-4503-11DA-8BDE-F66BAD1E3F3A}";
const std::string kCardSpace = "{78CB147A-98EA-4AA6-B0DF-C8681F69341C}";

// The Value of every applet of one form of a produced section, by ID.
std::map<std::string, std::string> Applets(const std::string& section, const std::string& form) {
  std::map<std::string, std::string> values;
  const xml::Document document = LoadSysDocument(section);
  for (const xml::Node& node :
       document.selectNodes("DocRoot/Configuration/ControlMngr/" + form + "/CPLList")) {
    values[*node.attribute("ID")] = *node.attribute("Value");
  }
  return values;
}

// Applies one form's elements and rows, as the system document's applier hands them over.
void ApplyForm(SystemMachine& pc, const std::string& form, const std::string& content) {
  const xml::Document document =
      LoadSysDocument("<ControlMngr><" + form + ">" + content + "</" + form + "></ControlMngr>");
  const std::string path = "DocRoot/Configuration/ControlMngr/" + form;
  GetXMLControlPanel(pc.ctx(), document.selectNodes(path + "/CPLList"),
                     document.selectNodes(path + "/Row"));
}

std::string NameSpaceKey(const std::string& id) {
  return kNameSpace + ("\\" + id);
}

// A CPLList element; the Win7 form's carry Disabllowcpl.
std::string Cpl(const std::string& id, const std::string& value, std::string disallow = "") {
  if (!disallow.empty()) disallow = " Disabllowcpl=\"" + disallow + "\"";
  return "<CPLList ID=\"" + id + "\" Value=\"" + value + "\"" + disallow + " />";
}

TEST(ControlPanelProducer, LayoutAndGenerationDefaults) {
  SystemMachine pc(/*winXP=*/true, /*win7=*/false);
  const std::string text = XMLStringControlPanel(pc.ctx());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 82) << "one line per element";
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 82) << "each line ends in CR LF";
  EXPECT_TRUE(text.starts_with(
      "<ControlMngr><WinXP>\r\n"
      "<CPLList ID=\"관리도구.cpl\" DisplayName=\"관리 도구\" Value=\"0\" />\r\n"
      "<CPLList ID=\"access.cpl\" DisplayName=\"내게 필요한 옵션\" Value=\"1\" />\r\n"))
      << text;
  EXPECT_NE(text.find("DisplayName=\"rtsndmgr.cpl\" Value=\"1\" />\r\n"
                      "<Row ID=\"NoControlPanel\" Value=\"0\" />\r\n</WinXP>\r\n<Win7>\r\n"
                      "<CPLList ID=\"BitLocker 드라이브 암호화\" DisplayName=\"BitLocker 드라이브 "
                      "암호화\" Value=\"1\" Disabllowcpl=\"1\" />\r\n"),
            std::string::npos)
      << text;
  EXPECT_TRUE(text.ends_with(
      "<CPLList ID=\"홈 그룹\" DisplayName=\"홈 그룹\" Value=\"1\" Disabllowcpl=\"1\" />\r\n"
      "<Row ID=\"NoControlPanel\" Value=\"0\" />\r\n</Win7></ControlMngr>\r\n"))
      << text;
  for (const auto& [id, value] : Applets(text, "WinXP")) {
    EXPECT_EQ(value, id == "관리도구.cpl" ? "0" : "1")
        << id << ": no don't-load entry opens an applet; the administrative tools need their key";
  }
  for (const auto& [id, value] : Applets(text, "Win7")) EXPECT_EQ(value, "1") << id;

  SystemMachine win7(false, true);
  win7.SetText(kHKCU, kDontLoad, "access.cpl", "No");
  EXPECT_EQ(Applets(XMLStringControlPanel(win7.ctx()), "WinXP")["access.cpl"], "1")
      << "under Win7 the XP applets are fixed, not read";

  SystemMachine neither(false, false);
  neither.reg().WriteDWORD(kHKLM, kExplorerPolicies, "NoControlPanel", 2);
  const std::string plain = XMLStringControlPanel(neither.ctx());
  EXPECT_EQ(Applets(plain, "WinXP")["access.cpl"], "") << "neither generation: empty Values";
  EXPECT_EQ(Applets(plain, "Win7")[kUpgrade], "");
  EXPECT_NE(plain.find("<Row ID=\"NoControlPanel\" Value=\"2\" />\r\n</Win7>"), std::string::npos)
      << "NoControlPanel is read raw from HKLM whatever the generation";
}

TEST(ControlPanelApplier, XPAppletsAndNoControlPanel) {
  SystemMachine pc(true, false);
  pc.reg().WriteDWORD(kHKLM, kExplorerPolicies, "NoSetFolders", 1);
  ApplyForm(pc, "WinXP",
            Cpl("access.cpl", "0") + Cpl("ALSNDMGR.CPL", "0") + Cpl("관리도구.cpl", "1") +
                Cpl("ncpa.cpl", "0") + "<Row ID=\"NoControlPanel\" Value=\"1\" />");
  for (auto hive : {kHKCU, kHKLM}) {
    EXPECT_EQ(pc.Text(hive, kDontLoad, "access.cpl"), "No");
    EXPECT_TRUE(pc.KeyExists(hive, kAdminTools));
    EXPECT_EQ(pc.Dword(hive, kNonEnum, kNetworkItem), 1) << "ncpa.cpl hidden hides its item too";
  }
  EXPECT_EQ(pc.Dword(kHKLM, kExplorerPolicies, "NoControlPanel"), 1);
  EXPECT_EQ(pc.Dword(kHKLM, kExplorerPolicies, "NoSetFolders"), 1) << "left alone by \"1\"";
  auto xp = Applets(XMLStringControlPanel(pc.ctx()), "WinXP");
  EXPECT_EQ(xp["access.cpl"] + xp["ALSNDMGR.CPL"] + xp["관리도구.cpl"], "001");

  ApplyForm(pc, "WinXP",
            Cpl("access.cpl", "1") + Cpl("관리도구.cpl", "0") + Cpl("ncpa.cpl", "1") +
                "<Row ID=\"NoControlPanel\" Value=\"0\" />");
  for (auto hive : {kHKCU, kHKLM}) {
    EXPECT_EQ(pc.Text(hive, kDontLoad, "access.cpl"), "<missing>");
    EXPECT_FALSE(pc.KeyExists(hive, kAdminTools));
    EXPECT_EQ(pc.Dword(hive, kNonEnum, kNetworkItem), 0);
  }
  EXPECT_EQ(pc.Dword(kHKLM, kExplorerPolicies, "NoSetFolders"), 0) << "\"0\" lifts it as well";

  ApplyForm(pc, "WinXP",
            Cpl("desk.cpl", "0") + Cpl("main.cpl", "abc") + Cpl("intl.cpl", "0") +
                "<Row ID=\"NoControlPanel\" Value=\"1\" />");
  EXPECT_EQ(pc.Text(kHKCU, kDontLoad, "desk.cpl"), "No") << "rows before the failure stay";
  EXPECT_EQ(pc.Text(kHKCU, kDontLoad, "intl.cpl"), "<missing>") << "\"abc\" ends the applier";
  EXPECT_EQ(pc.Dword(kHKLM, kExplorerPolicies, "NoControlPanel"), 0);
  EXPECT_NE(pc.LogText().find("[err:modDavIrizevez.GetXMLControlPanel] line 20, 13, "),
            std::string::npos);
}

TEST(ControlPanelApplier, Win7AppletsAndIdsThatAreNoKeyNames) {
  SystemMachine pc(false, true);
  pc.reg().CreateKey(kHKLM, NameSpaceKey(kUpgrade));
  ApplyForm(pc, "Win7",
            Cpl("Windows Defender", "0", "1") + Cpl("Windows Update", "1", "1") +
                Cpl(kUpgrade, "0", "0") + Cpl(kCardSpace, "1", "0"));
  EXPECT_EQ(pc.Text(kHKCU, kDisallowList, "windows defender"), "windows defender");
  std::string allowed = "<missing>";
  std::int32_t size = 0;
  EXPECT_TRUE(pc.ctx().spm.GetRegValue(kHKCU, kDisallowList, "windows update", 1, allowed, size));
  EXPECT_EQ(size, 0) << "an allowed applet's entry is the empty text";
  EXPECT_FALSE(pc.KeyExists(kHKLM, NameSpaceKey(kUpgrade)));
  EXPECT_TRUE(pc.KeyExists(kHKLM, NameSpaceKey(kCardSpace)));
  EXPECT_EQ(pc.Dword(kHKCU, kExplorerPolicies, "DisallowCpl"), 1) << "SetRegitry";
  EXPECT_EQ(pc.Dword(kHKCU, kExplorerPolicies, "NoControlPanel"), 0) << "SetRegitry";
  auto win7 = Applets(XMLStringControlPanel(pc.ctx()), "Win7");
  EXPECT_EQ(win7["Windows Defender"] + win7["Windows Update"] + win7[kUpgrade] + win7[kCardSpace],
            "0101");

  // Identifiers that would address NameSpace itself or a key elsewhere are refused.
  pc.reg().RemoveKey(kHKLM, NameSpaceKey(kCardSpace));
  const std::string nested = NameSpaceKey(kUpgrade + "\\x");
  ApplyForm(pc, "Win7", Cpl("", "0", "0"));
  EXPECT_TRUE(pc.KeyExists(kHKLM, kNameSpace)) << "an empty ID deleted the NameSpace key";
  pc.reg().CreateKey(kHKLM, nested);
  ApplyForm(
      pc, "Win7",
      Cpl("..\\Evil", "1", "0") + Cpl(kUpgrade + "\\x", "0", "0") + Cpl(kCardSpace, "1", "0"));
  EXPECT_FALSE(pc.KeyExists(kHKLM, NameSpaceKey(".."))) << "a key made below NameSpace";
  EXPECT_TRUE(pc.KeyExists(kHKLM, nested)) << "a key deeper down deleted";
  EXPECT_TRUE(pc.KeyExists(kHKLM, NameSpaceKey(kCardSpace))) << "later elements still apply";
  EXPECT_NE(pc.LogText().find("[skip:modDavIrizevez.GetXMLControlPanel]"), std::string::npos);
  pc.reg().RemoveKey(kHKLM, nested);
}

TEST(ControlPanelApplier, LegacySectionAppliesWhateverTheGenerationAndRaises) {
  SystemMachine pc(false, false);
  auto apply = [&](const std::string& content) {
    const xml::Document document = LoadSysDocument("<ControlMngr>" + content + "</ControlMngr>");
    modDavIrizevez::GetXMLControlMngr(
        pc.ctx(), document.selectNodes("DocRoot/Configuration/ControlMngr/CPLList"),
        document.selectNodes("DocRoot/Configuration/ControlMngr/Row"));
  };
  apply(Cpl("access.cpl", "0") + Cpl("ncpa.cpl", "0") +
        "<Row ID=\"NoControlPanel\" Value=\"1\" />");
  EXPECT_EQ(pc.Text(kHKLM, kDontLoad, "access.cpl"), "No");
  EXPECT_EQ(pc.Dword(kHKLM, kNonEnum, kNetworkItem), SystemMachine::kMissing)
      << "the legacy section has no network connections rule";
  EXPECT_EQ(pc.Dword(kHKLM, kExplorerPolicies, "NoControlPanel"), 1);
  try {
    apply(Cpl("desk.cpl", "70000"));
    FAIL() << "the legacy applier passes its failure on";
  } catch (const util::RunTimeError& e) {
    EXPECT_EQ(e.number(), util::kErrOverflow) << "the legacy Value is a 16-bit integer";
    EXPECT_EQ(e.source(), "modDavIrizevez.GetXMLControlMngr");
  }
}

}  // namespace
}  // namespace dav::catalogue::system_testing
