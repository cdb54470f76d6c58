#include "catalogue/start_menu.h"

#include <gtest/gtest.h>

#include "catalogue/document_conventions.h"
#include "catalogue/tests/window_sections_fixture.h"
#include "util/run_time_error.h"

namespace dav::catalogue {
namespace {

using namespace modDavIrizevez;
using platform::kHKeyCurrentUser;
using testing::kAdvancedKey;
using testing::kPoliciesKey;
using testing::LoadDocument;
using testing::RowXml;
using testing::SectionMachine;
using Values = std::vector<std::string>;

constexpr const char* kControlFolder = "\\제어판.{21EC2020-3AEA-1069-A2DD-08002B30309D}";

xml::NodeList Rows(const xml::Document& doc, const char* form) {
  return doc.selectNodes(SectionRowsPath("StartMenu", form));
}

Values FormValues(const std::string& section, const char* form) {
  Values values;
  const xml::Document doc = LoadDocument(section);
  for (const xml::Node& row : Rows(doc, form)) {
    values.push_back(ReadRow(row).value);
  }
  return values;
}

xml::Document Section(const std::string& winXP, const std::string& winOriginal,
                      const std::string& win7 = {}) {
  return LoadDocument("<StartMenu><WinXP>" + winXP + "</WinXP><WinOriginal>" + winOriginal +
                      "</WinOriginal><Win7>" + win7 + "</Win7></StartMenu>");
}

// What the document applier does with the section for the generation in use.
void Apply(SectionContext& ctx, const xml::Document& doc) {
  if (ctx.winXP) GetXMLStartMenu_WinXP(ctx, Rows(doc, "WinXP"), Rows(doc, "WinOriginal"));
  if (ctx.win7) GetXMLStartMenu_Win7(ctx, Rows(doc, "Win7"));
}

const Values kWinXPDefaults = {"1", "0", "1", "1", "1", "0", "1", "0",
                               "0", "1", "1", "1", "0", "0", "0"};
const Values kWinOriginalDefaults = {"0", "0", "0", "0", "0", "0", "1", "0", "0"};
const Values kWin7Defaults = {"1", "1", "0", "0", "1", "0", "1", "1", "1", "1", "0",
                              "1", "0", "1", "0", "0", "1", "0", "0", "0", "0"};

TEST(StartMenuTest, EachGenerationReadsItsOwnFormsAndFixesTheOther) {
  SectionMachine xp(true, false);
  xp.ClearSectionKeys();
  std::string text = XMLStringStartMenu(xp.ctx());
  EXPECT_TRUE(
      text.starts_with("<StartMenu>\r\n<WinXP>\r\n<Row ID=\"MyDocView\" Value=\"1\" />\r\n"))
      << text;
  EXPECT_TRUE(text.ends_with("<Row ID=\"Logoff\" Value=\"0\" />\r\n</Win7>\r\n</StartMenu>\r\n"));
  EXPECT_EQ(FormValues(text, "WinXP"), kWinXPDefaults) << "defaults of an empty registry";
  EXPECT_EQ(FormValues(text, "WinOriginal"), kWinOriginalDefaults);

  xp.ctx().registry.WriteDWORD(kHKeyCurrentUser, kPoliciesKey, "NoRecentDocsMenu", 1);
  xp.ctx().registry.WriteDWORD(kHKeyCurrentUser, kAdvancedKey, "Start_ShowMyDocs", 255);
  text = XMLStringStartMenu(xp.ctx());
  EXPECT_EQ(FormValues(text, "WinXP")[0], "255") << "raw DWORDs are copied unchanged";
  EXPECT_EQ(FormValues(text, "WinOriginal")[4], "1") << "DocMenuDel shares NoRecentDocsMenu";
  EXPECT_EQ(FormValues(text, "Win7"), kWin7Defaults) << "the WinXP flag fixes the Win7 form";

  SectionMachine win7(false, true);
  win7.ClearSectionKeys();
  win7.ctx().registry.WriteDWORD(kHKeyCurrentUser, kAdvancedKey, "Start_ShowMyDocs", 0);
  text = XMLStringStartMenu(win7.ctx());
  Values expected = kWin7Defaults;
  expected[4] = "0";
  EXPECT_EQ(FormValues(text, "Win7"), expected);
  EXPECT_EQ(FormValues(text, "WinXP"), kWinXPDefaults) << "the Win7 flag fixes the WinXP form";

  SectionMachine neither(false, false);
  text = XMLStringStartMenu(neither.ctx());
  EXPECT_EQ(FormValues(text, "WinOriginal"), Values(9, "")) << "no generation, no values";
  EXPECT_EQ(FormValues(text, "Win7"), Values(21, ""));
}

TEST(StartMenuTest, PoliciesAndTheRunItem) {
  SectionMachine m(true, true);
  auto apply = [&](auto applier, const std::string& value) {
    const xml::Document doc = Section(RowXml("MyLatelyDocView", value), "");
    applier(m.ctx(), Rows(doc, "WinXP"), Rows(doc, "WinOriginal"));
    return m.Dword(kHKeyCurrentUser, kPoliciesKey, "NoRecentDocsMenu");
  };
  EXPECT_EQ(apply(GetXMLStartMenu_WinXP, "1"), 1);
  EXPECT_EQ(apply(GetXMLStartMenu_WinXP, "0"), SectionMachine::kMissing)
      << "a policy that is off is removed, not set to 0";
  EXPECT_EQ(apply(GetXMLStartMenu, "0"), 0) << "the older applier writes the 0";

  const xml::Document hide = Section(RowXml("ExecuteMenuView", "0"), "", RowXml("Run", "1"));
  GetXMLStartMenu_WinXP(m.ctx(), Rows(hide, "WinXP"), {});
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kAdvancedKey, "Start_ShowRun"), 0);
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kPoliciesKey, "NoRun"), 1) << "Run hidden is Run refused";
  GetXMLStartMenu_Win7(m.ctx(), Rows(hide, "Win7"));
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kPoliciesKey, "NoRun"), 0);
  GetXMLStartMenu(m.ctx(), Rows(hide, "WinXP"), {});
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kAdvancedKey, "Start_ShowRun"), 0);
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kPoliciesKey, "NoRun"), 0) << "the older one leaves NoRun";

  for (const auto& [applied, produced] : {std::pair{"2", "2"}, {"1", "1"}, {"5", "0"}}) {
    GetXMLStartMenu_Win7(m.ctx(), Rows(Section("", "", RowXml("SysAdminTools", applied)), "Win7"));
    EXPECT_EQ(FormValues(XMLStringStartMenu(m.ctx()), "Win7")[10], produced)
        << "SysAdminTools " << applied;
  }
}

TEST(StartMenuTest, InsertRowsCreateAndRemoveTheirShellFolders) {
  SectionMachine m(true, false);
  const std::string folder = m.startMenu() + kControlFolder;
  const xml::Document insert = Section("", RowXml("ControlInsert", "1"));
  for (int i = 0; i < 2; ++i) {
    GetXMLStartMenu_WinXP(m.ctx(), {}, Rows(insert, "WinOriginal"));
    EXPECT_TRUE(m.FolderExists(folder)) << "apply " << i;
    EXPECT_EQ(m.Client("ControlInsert"), "1") << "apply " << i;
  }
  EXPECT_EQ(m.LogText().find("[err:"), std::string::npos) << "an existing folder is kept";

  // A folder that is not empty is not removed, and ends the applier.
  ASSERT_EQ(m.platform().files().WriteAll(folder + "\\a.txt", "x"), platform::kErrorSuccess);
  const xml::Document remove = Section("", RowXml("ControlInsert", "0") + RowXml("NoSearch", "1"));
  GetXMLStartMenu_WinXP(m.ctx(), {}, Rows(remove, "WinOriginal"));
  EXPECT_TRUE(m.FolderExists(folder));
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kPoliciesKey, "NoFind"), SectionMachine::kMissing);
  EXPECT_NE(m.LogText().find("[err:modDavIrizevez.GetXMLStartMenu_WinXP] line 50, 75, "),
            std::string::npos)
      << m.LogText();

  ASSERT_EQ(m.platform().files().Delete(folder + "\\a.txt"), platform::kErrorSuccess);
  GetXMLStartMenu_WinXP(m.ctx(), {}, Rows(remove, "WinOriginal"));
  EXPECT_FALSE(m.FolderExists(folder));
  EXPECT_EQ(m.Client("ControlInsert"), "0");
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kPoliciesKey, "NoFind"), 1);

  // Without a start menu folder the folder would land in the root of the drive: one that is
  // asked for fails the row, one that is not asked for leaves the rows after it applied.
  m.SetText(kHKeyCurrentUser, testing::kShellFoldersKey, "Start Menu", "");
  GetXMLStartMenu_WinXP(m.ctx(), {}, Rows(insert, "WinOriginal"));
  EXPECT_FALSE(m.FolderExists(kControlFolder));
  EXPECT_EQ(m.Client("ControlInsert"), "0");
  m.ClearSectionKeys();
  GetXMLStartMenu_WinXP(m.ctx(), {}, Rows(remove, "WinOriginal"));
  EXPECT_EQ(m.Client("ControlInsert"), "0");
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kPoliciesKey, "NoFind"), 1)
      << "a row with no folder to remove must not end the applier";
}

TEST(StartMenuTest, FailingRowEndsTheApplierAfterTheRowsBeforeIt) {
  SectionMachine m(true, false);
  const xml::Document doc =
      Section(RowXml("MyDocView", "0") + RowXml("MYPICTUREVIEW", "0") +
                  RowXml("MyMusicView", "abc") + RowXml("MyComputerView", "0"),
              RowXml("NoSearch", "1"));
  GetXMLStartMenu_WinXP(m.ctx(), Rows(doc, "WinXP"), Rows(doc, "WinOriginal"));
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kAdvancedKey, "Start_ShowMyDocs"), 0);
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kAdvancedKey, "Start_ShowMyPics"), 0)
      << "identifiers compare without regard to case";
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kAdvancedKey, "Start_ShowMyComputer"),
            SectionMachine::kMissing);
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kPoliciesKey, "NoFind"), SectionMachine::kMissing);
  EXPECT_NE(m.LogText().find("[err:modDavIrizevez.GetXMLStartMenu_WinXP] line 10, 13, "),
            std::string::npos)
      << m.LogText();
  try {
    GetXMLStartMenu(m.ctx(), Rows(doc, "WinXP"), Rows(doc, "WinOriginal"));
    FAIL() << "the older applier passes its failure on";
  } catch (const util::RunTimeError& e) {
    EXPECT_EQ(e.number(), util::kErrTypeMismatch);
    EXPECT_EQ(e.source(), "modDavIrizevez.GetXMLStartMenu");
  }
}

// A produced document applied to a fresh machine produces the same text again.
TEST(StartMenuTest, RoundTripForEachGeneration) {
  const xml::Document settings = Section(
      RowXml("MyDocView", "0") + RowXml("ExecuteMenuView", "0") + RowXml("HelpMenuView", "1"),
      RowXml("ControlInsert", "1") + RowXml("NoSearch", "1") + RowXml("ExecuteMenuDel", "0") +
          RowXml("HelpMenuDel", "1"),
      RowXml("User", "0") + RowXml("SysAdminTools", "2") + RowXml("Logoff", "1"));
  for (const auto& [winXP, win7] : {std::pair{true, false}, {false, true}, {false, false}}) {
    SectionMachine a(winXP, win7);
    Apply(a.ctx(), settings);
    const std::string first = XMLStringStartMenu(a.ctx());
    SectionMachine b(winXP, win7);
    Apply(b.ctx(), LoadDocument(first));
    EXPECT_EQ(XMLStringStartMenu(b.ctx()), first) << "WinXP " << winXP << ", Win7 " << win7;
    EXPECT_EQ(b.FolderExists(b.startMenu() + kControlFolder), winXP);
  }
}

}  // namespace
}  // namespace dav::catalogue
