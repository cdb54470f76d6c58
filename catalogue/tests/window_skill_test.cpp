#include "catalogue/window_skill.h"

#include <gtest/gtest.h>

#include "catalogue/document_conventions.h"
#include "catalogue/tests/window_sections_fixture.h"

namespace dav::catalogue {
namespace {

using modDavIrizevez::GetXMLExplorerConfig;
using modDavIrizevez::GetXMLFileOpt;
using modDavIrizevez::GetXMLWinSkill;
using modDavIrizevez::XMLStringWinSkill;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;
using testing::kPoliciesKey;
using testing::LoadDocument;
using testing::SectionMachine;

constexpr const char* kKeyboardKey = "Control Panel\\Keyboard";
constexpr const char* kBrowserKey = "Software\\Microsoft\\Internet Explorer";
constexpr const char* kBrowserMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kTabsKey = "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";

std::string RowXml(const std::string& id, const std::string& value) {
  return "<Row ID=\"" + id + "\" Value=\"" + value + "\" />";
}

std::string DisplayListXml(const std::string& resolution, const std::string& bits = "16 bit",
                           const std::string& rate = "75 Hz") {
  return "<DisplayList DPFirst=\"" + resolution + "\" ColorQuality=\"" + bits + "\" Hz=\"" + rate +
         "\" />";
}

// What the document applier does with the three sections.
void Apply(SectionContext& ctx, const xml::Document& doc, bool managerLogin = false) {
  GetXMLWinSkill(ctx, doc.selectNodes(SectionRowsPath("WinSkill")),
                 doc.selectNodes("DocRoot/Configuration/WinSkill/DisplayList"), managerLogin);
  const xml::Node explorer = doc.selectSingleNode("DocRoot/Configuration/ExplorerConfig");
  GetXMLExplorerConfig(ctx, doc.selectNodes(SectionRowsPath("ExplorerConfig")),
                       explorer ? explorer.attribute("TitleBar").value_or("") : "",
                       explorer ? explorer.attribute("DownFolder").value_or("") : "");
  GetXMLFileOpt(ctx, doc.selectNodes(SectionRowsPath("FileOpt")));
}

void ApplyFileOpt(SectionMachine& m, const std::string& rows) {
  GetXMLFileOpt(
      m.ctx(),
      LoadDocument("<FileOpt>" + rows + "</FileOpt>").selectNodes(SectionRowsPath("FileOpt")));
}

std::string RowValue(const xml::Document& doc, const std::string& section, const std::string& id) {
  for (const xml::Node& node : doc.selectNodes(SectionRowsPath(section))) {
    const Row row = ReadRow(node);
    if (row.id == id) return row.value;
  }
  return "<no row>";
}

TEST(WindowSkillTest, SectionsOfAMachineNobodySetUp) {
  SectionMachine m(true, false);
  m.ClearSectionKeys();
  EXPECT_EQ(XMLStringWinSkill(m.ctx()),
            "<WinSkill>\r\n"
            "<Row ID=\"RebootDisplay\" Value=\"0\" />\r\n"
            "<DisplayList DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" Hz=\"60 Hz\" />\r\n"
            "<Row ID=\"NumLockStatus\" Value=\"0\" />\r\n"
            "<Row ID=\"NetworkDriveSet\" Value=\"0\" />\r\n"
            "<Row ID=\"NetworkIconDel\" Value=\"0\" />\r\n"
            "<Row ID=\"NoPrinterDriverDel\" Value=\"0\" />\r\n"
            "</WinSkill>\r\n"
            "<ExplorerConfig TitleBar=\"\" DownFolder=\"\" >\r\n"
            "<Row ID=\"TitleBar\" Value=\"0\" />\r\n"
            "<Row ID=\"DownFolder\" Value=\"0\" />\r\n"
            "<Row ID=\"IEOpt\" Value=\"0\" />\r\n"
            "</ExplorerConfig>\r\n"
            "<FileOpt>\r\n"
            "<Row ID=\"RebootWinOpt\" Value=\"0\" />\r\n"
            "<Row ID=\"Garbage\" Value=\"0\" />\r\n"
            "<Row ID=\"TempFile\" Value=\"0\" />\r\n"
            "<Row ID=\"TempFolder\" Value=\"0\" />\r\n"
            "<Row ID=\"Cookie\" Value=\"0\" />\r\n"
            "<Row ID=\"History\" Value=\"0\" />\r\n"
            "<Row ID=\"Doc\" Value=\"0\" />\r\n"
            "</FileOpt>\r\n");
}

TEST(WindowSkillTest, FileOptRowsAreThePackedFlagsByPosition) {
  SectionMachine m(true, false);
  std::string packed = "010010";
  m.ctx().spm.SetRegValue(kHKeyLocalMachine, kClientKey, "RebootWinOpt", platform::kRegSz, packed);
  const xml::Document doc = LoadDocument(XMLStringWinSkill(m.ctx()));
  std::string values;
  for (const char* id :
       {"rebootwinopt", "garbage", "tempfile", "tempfolder", "cookie", "history", "doc"}) {
    values += RowValue(doc, "FileOpt", id);
  }
  EXPECT_EQ(values, "1010010") << "RebootWinOpt, then Garbage ... Doc";
}

TEST(WindowSkillTest, FileOptSetsTheCleanUpRequests) {
  SectionMachine m(true, false);
  ApplyFileOpt(m, RowXml("RebootWinOpt", "0") + RowXml("Garbage", "1") + RowXml("TempFile", "0"));
  EXPECT_EQ(m.Client("RebootWinOpt"), "000000") << "nothing is repeated at the next start";
  EXPECT_EQ(m.requests.cleanUp.garbage, "1") << "but the recycle bin is emptied now";

  ApplyFileOpt(m, RowXml("RebootWinOpt", "1") + RowXml("TempFile", "0") + RowXml("Cookie", "1"));
  EXPECT_EQ(m.requests.cleanUp.tempFiles, "1") << "cookies go with the temporary files";
  EXPECT_EQ(m.Client("RebootWinOpt"), "000100");

  ApplyFileOpt(m, RowXml("RebootWinOpt", "1") + RowXml("Doc", "1") + RowXml("Cookie", "0") +
                      RowXml("Garbage", "0"));
  EXPECT_EQ(m.Client("RebootWinOpt"), "000001")
      << "each flag keeps its position whatever the order of the rows";
  EXPECT_EQ(m.requests.cleanUp.tempFiles, "0") << "a later document asking for none resets it";
  EXPECT_EQ(m.requests.cleanUp.documents, "1");

  m.requests.cleanUp.garbage = "x";
  ApplyFileOpt(m, "");
  EXPECT_EQ(m.Client("RebootWinOpt"), "000001") << "no rows, nothing written";
  EXPECT_EQ(m.requests.cleanUp.garbage, "x");
}

TEST(WindowSkillTest, WinSkillRowsBothWays) {
  SectionMachine m(true, false);
  std::string indicators = "2";
  m.ctx().spm.SetRegValue(kHKeyCurrentUser, kKeyboardKey, "InitialKeyboardIndicators",
                          platform::kRegSz, indicators);
  EXPECT_EQ(RowValue(LoadDocument(XMLStringWinSkill(m.ctx())), "WinSkill", "numlockstatus"), "1");

  const xml::Document on =
      LoadDocument("<WinSkill>" + RowXml("NumLockStatus", "1") + RowXml("NetworkDriveSet", "1") +
                   RowXml("NetworkIconDel", "1") + RowXml("RebootDisplay", "1") + "</WinSkill>");
  const xml::Document off = LoadDocument("<WinSkill>" + RowXml("NumLockStatus", "0") +
                                         RowXml("NetworkDriveSet", "2") + "</WinSkill>");
  m.ClearSectionKeys();
  GetXMLWinSkill(m.ctx(), on.selectNodes(SectionRowsPath("WinSkill")), {}, false);
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kKeyboardKey, "InitialKeyboardIndicators"), "2");
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoNetConnectDisconnect"), 1);
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoNetHood"), 1);
  EXPECT_EQ(m.Client("RebootDisplay"), "1");
  GetXMLWinSkill(m.ctx(), off.selectNodes(SectionRowsPath("WinSkill")), {}, false);
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kKeyboardKey, "InitialKeyboardIndicators"), "<missing>");
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoNetConnectDisconnect"),
            SectionMachine::kMissing)
      << "only \"1\" sets the policy";
}

TEST(WindowSkillTest, DisplayListBecomesTheDisplayRequest) {
  SectionMachine m(true, false);
  const xml::Document doc = LoadDocument("<WinSkill>" + DisplayListXml("640 x 480") +
                                         DisplayListXml("800 x 600") + "</WinSkill>");
  const xml::NodeList lists = doc.selectNodes("DocRoot/Configuration/WinSkill/DisplayList");
  GetXMLWinSkill(m.ctx(), {}, lists, true);
  EXPECT_EQ(m.Client("DisplayList"), "<missing>") << "the manager's login keeps the user's mode";
  EXPECT_EQ(m.requests.display.width, "");

  GetXMLWinSkill(m.ctx(), {}, lists, false);
  EXPECT_EQ(m.Client("DisplayList"), "800 x 600*16*75") << "the last element wins";
  EXPECT_EQ(m.requests.display.width, "800");
  EXPECT_EQ(m.requests.display.height, "600");
  EXPECT_EQ(m.requests.display.colorBits, "16");
  EXPECT_EQ(m.requests.display.refresh, "75");
}

TEST(WindowSkillTest, DisplayListThatNamesNoModeEndsTheApplier) {
  for (const auto& [list, error] : {std::pair{DisplayListXml("800x600"), ", 9, "},
                                    {DisplayListXml("abc x 600"), ", 13, "},
                                    {DisplayListXml("800 x 600", "16 bits"), ", 13, "}}) {
    SectionMachine m(true, false);
    m.requests.display.width = "1280";
    const xml::Document doc =
        LoadDocument("<WinSkill>" + RowXml("RebootDisplay", "1") + list + "</WinSkill>");
    GetXMLWinSkill(m.ctx(), doc.selectNodes(SectionRowsPath("WinSkill")),
                   doc.selectNodes("DocRoot/Configuration/WinSkill/DisplayList"), false);
    EXPECT_EQ(m.Client("RebootDisplay"), "1") << list << ": the rows before stay applied";
    EXPECT_EQ(m.Client("DisplayList"), "<missing>") << list;
    EXPECT_EQ(m.requests.display.width, "1280") << list << ": the request is left as it was";
    EXPECT_NE(m.LogText().find("[err:modDavIrizevez.GetXMLWinSkill] line 30" + std::string(error)),
              std::string::npos)
        << m.LogText();
  }
}

TEST(WindowSkillTest, ExplorerConfigWritesTheBrowserSettings) {
  SectionMachine m(true, false);
  const std::string title = "R&D \"Lab\" <1>";
  const std::string folder = "C:\\Downloads";
  const xml::Document on =
      LoadDocument("<ExplorerConfig>" + RowXml("TitleBar", "1") + RowXml("DownFolder", "1") +
                   RowXml("IEOpt", "1") + "</ExplorerConfig>");
  GetXMLExplorerConfig(m.ctx(), on.selectNodes(SectionRowsPath("ExplorerConfig")), title, folder);
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kBrowserMainKey, "Window Title"), title);
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kBrowserKey, "Download Directory"), folder);
  for (const char* tab : {"GeneralTab", "SecurityTab", "ConnectionsTab", "AdvancedTab",
                          "ContentTab", "PrivacyTab", "ProgramsTab"}) {
    EXPECT_EQ(m.Dword(kHKeyCurrentUser, kTabsKey, tab), 1) << tab;
  }
  const xml::Document produced = LoadDocument(XMLStringWinSkill(m.ctx()));
  EXPECT_EQ(produced.selectSingleNode("DocRoot/Configuration/ExplorerConfig/@TitleBar").text(),
            title)
      << "a title with quotes and markup is escaped and reads back whole";

  const xml::Document off =
      LoadDocument("<ExplorerConfig>" + RowXml("TitleBar", "0") + RowXml("DownFolder", "0") +
                   RowXml("IEOpt", "abc") + "</ExplorerConfig>");
  GetXMLExplorerConfig(m.ctx(), off.selectNodes(SectionRowsPath("ExplorerConfig")), title, folder);
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kBrowserMainKey, "Window Title"), "<missing>");
  EXPECT_TRUE(m.Exists(kHKeyCurrentUser, kBrowserKey, "Download Directory"))
      << "\"0\" sets the download folder to the empty text, it does not remove it";
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kBrowserKey, "Download Directory"), "<missing>")
      << "an empty text reads as no folder";
  EXPECT_EQ(m.Client("IEOpt"), "1") << "a tab lock that is no number is not applied";
}

// A produced document applied to a fresh machine produces the same text again.
TEST(WindowSkillTest, RoundTripForEachGeneration) {
  const xml::Document settings = LoadDocument(
      "<WinSkill>" + RowXml("RebootDisplay", "1") + DisplayListXml("800 x 600") +
      RowXml("NumLockStatus", "1") + RowXml("NetworkIconDel", "1") +
      RowXml("NoPrinterDriverDel", "1") + "</WinSkill>" +
      "<ExplorerConfig TitleBar=\"Lab &amp; PC\" DownFolder=\"C:\\받은 파일\">" +
      RowXml("TitleBar", "1") + RowXml("DownFolder", "1") + RowXml("IEOpt", "1") +
      "</ExplorerConfig><FileOpt>" + RowXml("RebootWinOpt", "1") + RowXml("Garbage", "1") +
      RowXml("TempFile", "0") + RowXml("TempFolder", "0") + RowXml("Cookie", "1") +
      RowXml("History", "0") + RowXml("Doc", "1") + "</FileOpt>");
  for (const auto& [winXP, win7] : {std::pair{true, false}, {false, true}, {false, false}}) {
    SectionMachine a(winXP, win7);
    Apply(a.ctx(), settings);
    const std::string first = XMLStringWinSkill(a.ctx());
    EXPECT_TRUE(testing::LinesEndInCrLf(first));
    SectionMachine b(winXP, win7);
    Apply(b.ctx(), LoadDocument(first));
    EXPECT_EQ(XMLStringWinSkill(b.ctx()), first) << "WinXP " << winXP << ", Win7 " << win7;
    EXPECT_EQ(b.Client("DisplayList"), "1024 x 768*32*60") << "the mode in use travels";
  }
}

}  // namespace
}  // namespace dav::catalogue
