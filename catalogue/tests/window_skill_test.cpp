#include "catalogue/window_skill.h"

#include <gtest/gtest.h>

#include "catalogue/document_conventions.h"
#include "catalogue/tests/window_sections_fixture.h"

namespace dav::catalogue {
namespace {

using namespace modDavIrizevez;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;
using testing::kPoliciesKey;
using testing::LoadDocument;
using testing::RowXml;
using testing::SectionMachine;

constexpr const char* kBrowserKey = "Software\\Microsoft\\Internet Explorer";
constexpr const char* kDisplayLists = "DocRoot/Configuration/WinSkill/DisplayList";

std::string DisplayListXml(const std::string& resolution, const std::string& bits = "16 bit") {
  return "<DisplayList DPFirst=\"" + resolution + "\" ColorQuality=\"" + bits +
         "\" Hz=\"75 Hz\" />";
}

// What the document applier does with the three sections.
void Apply(SectionContext& ctx, const xml::Document& doc, bool managerLogin = false) {
  GetXMLWinSkill(ctx, doc.selectNodes(SectionRowsPath("WinSkill")), doc.selectNodes(kDisplayLists),
                 managerLogin);
  const xml::Node explorer = doc.selectSingleNode("DocRoot/Configuration/ExplorerConfig");
  GetXMLExplorerConfig(ctx, doc.selectNodes(SectionRowsPath("ExplorerConfig")),
                       explorer ? explorer.attribute("TitleBar").value_or("") : "",
                       explorer ? explorer.attribute("DownFolder").value_or("") : "");
  GetXMLFileOpt(ctx, doc.selectNodes(SectionRowsPath("FileOpt")));
}

std::string Values(const std::string& text, const std::string& section) {
  std::string values;
  const xml::Document doc = LoadDocument(text);
  for (const xml::Node& row : doc.selectNodes(SectionRowsPath(section))) {
    values += ReadRow(row).value + ",";
  }
  return values;
}

TEST(WindowSkillTest, SectionsOfAMachineNobodySetUp) {
  SectionMachine m(true, false);
  m.ClearSectionKeys();
  EXPECT_EQ(XMLStringWinSkill(m.ctx()),
            "<WinSkill>\r\n<Row ID=\"RebootDisplay\" Value=\"0\" />\r\n"
            "<DisplayList DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" Hz=\"60 Hz\" />\r\n"
            "<Row ID=\"NumLockStatus\" Value=\"0\" />\r\n"
            "<Row ID=\"NetworkDriveSet\" Value=\"0\" />\r\n"
            "<Row ID=\"NetworkIconDel\" Value=\"0\" />\r\n"
            "<Row ID=\"NoPrinterDriverDel\" Value=\"0\" />\r\n</WinSkill>\r\n"
            "<ExplorerConfig TitleBar=\"\" DownFolder=\"\" >\r\n"
            "<Row ID=\"TitleBar\" Value=\"0\" />\r\n<Row ID=\"DownFolder\" Value=\"0\" />\r\n"
            "<Row ID=\"IEOpt\" Value=\"0\" />\r\n</ExplorerConfig>\r\n"
            "<FileOpt>\r\n<Row ID=\"RebootWinOpt\" Value=\"0\" />\r\n"
            "<Row ID=\"Garbage\" Value=\"0\" />\r\n<Row ID=\"TempFile\" Value=\"0\" />\r\n"
            "<Row ID=\"TempFolder\" Value=\"0\" />\r\n<Row ID=\"Cookie\" Value=\"0\" />\r\n"
            "<Row ID=\"History\" Value=\"0\" />\r\n<Row ID=\"Doc\" Value=\"0\" />\r\n"
            "</FileOpt>\r\n");

  m.SetText(kHKeyLocalMachine, kClientKey, "RebootWinOpt", "010010");
  m.SetText(kHKeyCurrentUser, "Control Panel\\Keyboard", "InitialKeyboardIndicators", "2");
  const std::string text = XMLStringWinSkill(m.ctx());
  EXPECT_EQ(Values(text, "FileOpt"), "1,0,1,0,0,1,0,") << "RebootWinOpt, then Garbage ... Doc";
  EXPECT_EQ(Values(text, "WinSkill"), "0,1,0,0,0,") << "Num Lock on at log-on";

  // Each policy is read from its own hive; the other hive holds the opposite.
  for (const auto& [hive, name] : {std::pair{kHKeyLocalMachine, "NoNetConnectDisconnect"},
                                   std::pair{kHKeyLocalMachine, "NoNetHood"},
                                   std::pair{kHKeyCurrentUser, "NoDeletePrinter"}}) {
    const platform::KeyHandle other =
        hive == kHKeyLocalMachine ? kHKeyCurrentUser : kHKeyLocalMachine;
    m.ctx().registry.WriteDWORD(hive, kPoliciesKey, name, 1);
    m.ctx().registry.WriteDWORD(other, kPoliciesKey, name, 0);
  }
  EXPECT_EQ(Values(XMLStringWinSkill(m.ctx()), "WinSkill"), "0,1,1,1,1,")
      << "NetworkDriveSet and NetworkIconDel from HKLM, NoPrinterDriverDel from HKCU";
}

TEST(WindowSkillTest, FileOptSetsTheCleanUpRequests) {
  SectionMachine m(true, false);
  auto apply = [&](const std::string& rows) {
    GetXMLFileOpt(
        m.ctx(),
        LoadDocument("<FileOpt>" + rows + "</FileOpt>").selectNodes(SectionRowsPath("FileOpt")));
  };
  apply(RowXml("RebootWinOpt", "0") + RowXml("Garbage", "1") + RowXml("TempFile", "0"));
  EXPECT_EQ(m.Client("RebootWinOpt"), "000000") << "nothing is repeated at the next start";
  EXPECT_EQ(m.requests.cleanUp.garbage, "1") << "but the recycle bin is emptied now";

  apply(RowXml("RebootWinOpt", "1") + RowXml("TempFile", "0") + RowXml("Cookie", "1"));
  EXPECT_EQ(m.requests.cleanUp.tempFiles, "1") << "cookies go with the temporary files";
  EXPECT_EQ(m.Client("RebootWinOpt"), "000100");

  apply(RowXml("RebootWinOpt", "1") + RowXml("Doc", "1") + RowXml("Cookie", "0"));
  EXPECT_EQ(m.Client("RebootWinOpt"), "000001") << "each flag keeps its position, in any order";
  EXPECT_EQ(m.requests.cleanUp.tempFiles, "0") << "a later document asking for none resets it";

  apply("");
  EXPECT_EQ(m.Client("RebootWinOpt"), "000001") << "no rows, nothing written";
}

TEST(WindowSkillTest, RowsAndTheDisplayRequest) {
  SectionMachine m(true, false);
  const xml::Document doc =
      LoadDocument("<WinSkill>" + RowXml("NumLockStatus", "1") + RowXml("NetworkDriveSet", "1") +
                   RowXml("NetworkIconDel", "1") + DisplayListXml("640 x 480") +
                   DisplayListXml("800 x 600") + "</WinSkill>");
  GetXMLWinSkill(m.ctx(), doc.selectNodes(SectionRowsPath("WinSkill")),
                 doc.selectNodes(kDisplayLists), true);
  EXPECT_EQ(m.Text(kHKeyCurrentUser, "Control Panel\\Keyboard", "InitialKeyboardIndicators"), "2");
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoNetConnectDisconnect"), 1);
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoNetHood"), 1);
  EXPECT_EQ(m.Client("DisplayList"), "<missing>") << "the manager's login keeps the user's mode";

  GetXMLWinSkill(m.ctx(), {}, doc.selectNodes(kDisplayLists), false);
  EXPECT_EQ(m.Client("DisplayList"), "800 x 600*16*75") << "the last element wins";
  const DisplayRequest& r = m.requests.display;
  EXPECT_EQ(r.width + "," + r.height + "," + r.colorBits + "," + r.refresh, "800,600,16,75");

  for (const auto& [list, error] : {std::pair{DisplayListXml("1024x768"), ", 9, "},
                                    {DisplayListXml("1024 x 768", "lots"), ", 13, "}}) {
    const xml::Document bad =
        LoadDocument("<WinSkill>" + RowXml("NetworkDriveSet", "0") + list + "</WinSkill>");
    GetXMLWinSkill(m.ctx(), bad.selectNodes(SectionRowsPath("WinSkill")),
                   bad.selectNodes(kDisplayLists), false);
    EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoNetConnectDisconnect"),
              SectionMachine::kMissing)
        << list << ": the rows before stay applied";
    EXPECT_EQ(m.Client("DisplayList"), "800 x 600*16*75") << list << ": no mode, nothing stored";
    EXPECT_EQ(r.width, "800") << list << ": the request is left as it was";
    EXPECT_NE(m.LogText().find("[err:modDavIrizevez.GetXMLWinSkill] line 30" + std::string(error)),
              std::string::npos)
        << m.LogText();
  }
}

TEST(WindowSkillTest, ExplorerConfigWritesTheBrowserSettings) {
  SectionMachine m(true, false);
  const std::string title = "R&D \"Lab\" <1>";
  auto apply = [&](const std::string& on) {
    const xml::Document doc =
        LoadDocument("<ExplorerConfig>" + RowXml("TitleBar", on) + RowXml("DownFolder", on) +
                     RowXml("IEOpt", on == "0" ? "abc" : on) + "</ExplorerConfig>");
    GetXMLExplorerConfig(m.ctx(), doc.selectNodes(SectionRowsPath("ExplorerConfig")), title,
                         "C:\\Down");
  };
  apply("1");
  EXPECT_EQ(
      m.Text(kHKeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main", "Window Title"),
      title);
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kBrowserKey, "Download Directory"), "C:\\Down");
  EXPECT_EQ(
      m.Dword(kHKeyCurrentUser, "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel",
              "ProgramsTab"),
      1);
  EXPECT_EQ(LoadDocument(XMLStringWinSkill(m.ctx()))
                .selectSingleNode("DocRoot/Configuration/ExplorerConfig/@TitleBar")
                .text(),
            title)
      << "a title with quotes and markup is escaped and reads back whole";

  apply("0");
  EXPECT_EQ(
      m.Text(kHKeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main", "Window Title"),
      "<missing>");
  EXPECT_TRUE(m.Exists(kHKeyCurrentUser, kBrowserKey, "Download Directory"))
      << "\"0\" sets the download folder to the empty text, it does not remove it";
  EXPECT_EQ(m.Client("IEOpt"), "1") << "a tab lock that is no number is not applied";
}

// A produced document applied to a fresh machine produces the same text again.
TEST(WindowSkillTest, RoundTripForEachGeneration) {
  const xml::Document settings = LoadDocument(
      "<WinSkill>" + RowXml("RebootDisplay", "1") + DisplayListXml("800 x 600") +
      RowXml("NumLockStatus", "1") + RowXml("NoPrinterDriverDel", "1") + "</WinSkill>" +
      "<ExplorerConfig TitleBar=\"Lab &amp; PC\" DownFolder=\"C:\\받은 파일\">" +
      RowXml("TitleBar", "1") + RowXml("DownFolder", "1") + RowXml("IEOpt", "1") +
      "</ExplorerConfig><FileOpt>" + RowXml("RebootWinOpt", "1") + RowXml("Garbage", "1") +
      RowXml("TempFile", "0") + RowXml("Cookie", "1") + RowXml("Doc", "1") + "</FileOpt>");
  for (const auto& [winXP, win7] : {std::pair{true, false}, {false, true}, {false, false}}) {
    SectionMachine a(winXP, win7);
    Apply(a.ctx(), settings);
    const std::string first = XMLStringWinSkill(a.ctx());
    SectionMachine b(winXP, win7);
    Apply(b.ctx(), LoadDocument(first));
    EXPECT_EQ(XMLStringWinSkill(b.ctx()), first) << "WinXP " << winXP << ", Win7 " << win7;
    EXPECT_EQ(b.Client("DisplayList"), "1024 x 768*32*60") << "the mode in use travels";
  }
}

}  // namespace
}  // namespace dav::catalogue
