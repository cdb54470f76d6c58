// The window settings editor as a model: loading, the rules of its controls, OK's document
// and the closing choice, with a script as the user.
#include <gtest/gtest.h>

#include "editors/tests/editor_fixture.h"
#include "util/ansi_text.h"

namespace dav::editors::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string StartMenu(const std::string& xp, const std::string& original, const std::string& win7) {
  return "<StartMenu><WinXP>" + xp + "</WinXP><WinOriginal>" + original + "</WinOriginal><Win7>" +
         win7 + "</Win7></StartMenu>";
}
std::string Row(const std::string& id, const std::string& value) {
  return "<Row ID=\"" + id + "\" Value=\"" + value + "\"/>";
}
const std::string kLists =
    "<StartProgramManager Protected=\"False\"/><DesktopIconManager Protected=\"False\"/>";

class WinConfigTest : public EditorTest {};

TEST_F(WinConfigTest, EmptyDocumentKeepsInitialControlsAndOkWritesEmptyOptionRows) {
  for (const char* input : {"", "not xml"}) {
    const std::string out = EditWin(input, "ok\nchoose 7", [](frmWinConfig& form) {
      EXPECT_FALSE(form.Options("optStartMenu")[0].value);
      EXPECT_EQ(form.Grids("fgridStartProgram")[0].DataRows(), 0);
    });
    EXPECT_THAT(out, HasSubstr("<Row ID=\"MyPictureView\" Value=\"\"/>\r\n"));
    EXPECT_THAT(out, HasSubstr("<Row ID=\"SysAdminTools\" Value=\"\"/>\r\n"));
    // An unchecked inverted box reads "shown": "1".
    EXPECT_THAT(out, HasSubstr("<Row ID=\"MyLatelyDocView\" Value=\"1\"/>\r\n"));
    EXPECT_THAT(out, HasSubstr("<Row ID=\"MyNetworkView\" Value=\"0\"/>\r\n"));
    EXPECT_THAT(out, HasSubstr("<StartProgramManager Protected=\"False\">\r\n"
                               "</StartProgramManager>\r\n<WinSkill>"));
    EXPECT_THAT(out, HasSubstr("<DisplayList DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" "
                               "Hz=\"75 Hz\" />\r\n"));
    EXPECT_EQ(out.rfind("<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot>"
                        "<Configuration SpecVersion=\"1.0.0\"><StartMenu>\r\n<WinXP>\r\n",
                        0),
              0u);
    EXPECT_EQ(choice_, kChoiceAfterReboot);
  }
}

TEST_F(WinConfigTest, StartMenuRowsLoadIntoTheirControlsAndWriteBack) {
  const std::string doc = Document(
      StartMenu(Row("MyPictureView", "") + Row("mydocview", "2") + Row("MyNetworkView", "1") +
                    Row("HelpMenuView", "") + Row("AllProMenuView", "1"),
                Row("NoSearch", "0"),
                Row("User", "1") + Row("Logoff", "1") + Row("searchprograms", "1")) +
      kLists);
  const std::string out = EditWin(doc, "ok\nchoose 6", [](frmWinConfig& form) {
    const auto& xp = form.Options("optStartMenu");
    EXPECT_TRUE(xp[0].value) << "an empty XP option Value selects 이 항목을 표시 안함";
    EXPECT_TRUE(xp[5].value);
    EXPECT_FALSE(xp[3].value);
    const auto& boxes = form.Checks("chkStartMenu");
    EXPECT_TRUE(boxes[0].value);
    EXPECT_FALSE(boxes[6].value) << "inverted, empty Value";
    EXPECT_FALSE(boxes[7].value) << "inverted, 1";
    EXPECT_TRUE(boxes[16].value) << "inverted, 0";
    EXPECT_TRUE(form.Options("optStartMenuWin7")[1].value);
    EXPECT_TRUE(form.Checks("chkStartMenuWin7")[9].value);
  });
  EXPECT_THAT(out, HasSubstr(Row("MyPictureView", "0") + "\r\n" + Row("MyDocView", "2")));
  EXPECT_THAT(out, HasSubstr(Row("HelpMenuView", "1") + "\r\n" + Row("AllProMenuView", "1")));
  EXPECT_THAT(out, HasSubstr(Row("NoSearch", "0")));
  EXPECT_THAT(out, HasSubstr(Row("User", "1")));
  EXPECT_THAT(out, HasSubstr(Row("Logoff", "1") + "\r\n</Win7>"));
  EXPECT_THAT(out, Not(HasSubstr("searchprograms")));
  // The classic menu's rows in their own order.
  EXPECT_THAT(out,
              HasSubstr("<WinOriginal>\r\n" + Row("ControlInsert", "0") + "\r\n" +
                        Row("WastebasketInsert", "0") + "\r\n" + Row("PrinterListInsert", "0")));
  EXPECT_EQ(choice_, kChoiceRestartShell);
}

TEST_F(WinConfigTest, LinkedBoxesMirrorOnLoadingAndOnClicks) {
  // The later row of a linked pair decides both boxes.
  const std::string doc =
      Document(StartMenu(Row("MyLatelyDocView", "1"), Row("DOCMENUDEL", "0"), "") + kLists);
  EditWin(doc, "cancel", [](frmWinConfig& form) {
    EXPECT_TRUE(form.Checks("chkStartMenu")[1].value);
    EXPECT_TRUE(form.Checks("chkStartMenu")[13].value);
  });
  EditWin(doc, "click \"실행 명령\"\ncancel",
          [](frmWinConfig& form) { EXPECT_FALSE(form.Checks("chkStartMenu")[14].value); });
  const std::string out = EditWin(doc,
                                  "check \"실행 명령\"\nuncheck \"실행 표시\"\n"
                                  "check chkStartMenu(14)\ncheck chkStartMenu(3)\nok\nchoose 7");
  EXPECT_THAT(out, HasSubstr(Row("ExecuteMenuView", "1")));
  EXPECT_THAT(out, HasSubstr(Row("ExecuteMenuDel", "1")));
  EXPECT_THAT(out, HasSubstr(Row("SearchMenuView", "1")));
  EXPECT_THAT(out, HasSubstr(Row("NoSearch", "1"))) << "검색 and 검색 표시 are not linked";
}

TEST_F(WinConfigTest, DeletedStartProgramsAreSkippedAndTheOthersNumbered) {
  const std::string keys =
      "<RunKey HKey=\"-2147483646\" Path=\"HKEY_LOCAL_MACHINE_RUN\" Name=\"A&amp;B\" "
      "Command=\"&quot;C:\\a.exe&quot; -s\" IsPrevStart=\"True\" Checked=\"True\" "
      "Deleted=\"False\"/>"
      "<RunKey HKey=\"1\" Path=\"P\" Name=\"Gone\" Command=\"g\" IsPrevStart=\"False\" "
      "Checked=\"True\" Deleted=\"True\"/>"
      "<RunKey HKey=\"-2147483647\" Path=\"HKEY_CURRENT_USER_RUN\" Name=\"C\" Command=\"c\" "
      "IsPrevStart=\"False\" Checked=\"False\" Deleted=\"False\"/>";
  const std::string doc =
      Document("<StartProgramManager Protected=\"True\"><RunKeyList>" + keys +
               "</RunKeyList></StartProgramManager><DesktopIconManager Protected=\"False\"/>");
  const std::string out = EditWin(doc, "ok\nchoose 7", [](frmWinConfig& form) {
    const Grid& grid = form.Grids("fgridStartProgram")[0];
    ASSERT_EQ(grid.DataRows(), 2);
    EXPECT_EQ(grid.Cell(1, "no"), "1");
    EXPECT_EQ(grid.Cell(2, "no"), "2");
    EXPECT_EQ(grid.Cell(2, "name"), "C");
    EXPECT_EQ(grid.Cell(2, "check"), "False");
    EXPECT_TRUE(form.Checks("chkStartProgram")[0].value);
  });
  EXPECT_THAT(out, HasSubstr("<StartProgramManager Protected=\"True\">\r\n<RunKeyList>\r\n"
                             "<RunKey HKey=\"-2147483646\" Name=\"A&amp;B\" "
                             "Path=\"HKEY_LOCAL_MACHINE_RUN\" Command=\"&quot;C:\\a.exe&quot; -s\" "
                             "IsPrevStart=\"True\" Checked=\"1\" Deleted=\"0\"/>\r\n"));
  EXPECT_THAT(out, HasSubstr("Checked=\"0\" Deleted=\"0\"/>\r\n</RunKeyList>\r\n"));
  EXPECT_THAT(out, Not(HasSubstr("Gone")));
}

TEST_F(WinConfigTest, SelectAllBoxesSetEveryCheckCell) {
  const std::string doc = Document(
      "<StartProgramManager Protected=\"False\"/><DesktopIconManager Protected=\"False\">"
      "<IconList><Icon FileName=\"a.lnk\" Checked=\"1\"/><Icon FileName=\"R&amp;D.lnk\" "
      "Checked=\"\"/></IconList></DesktopIconManager>");
  const std::string out = EditWin(doc, "check chkDesktop(1)\nok\nchoose 7", [](frmWinConfig& form) {
    const Grid& grid = form.Grids("fgridDesktop")[0];
    EXPECT_EQ(grid.Cell(2, "check"), "False") << "an empty Checked";
    EXPECT_EQ(grid.Cell(2, "no"), "2");
  });
  EXPECT_THAT(out, HasSubstr("<IconList>\r\n<Icon FileName=\"a.lnk\" Checked=\"1\" />\r\n"
                             "<Icon FileName=\"R&amp;D.lnk\" Checked=\"1\" />\r\n</IconList>"));
  const std::string cleared =
      EditWin(doc, "check chkDesktop(1)\nuncheck chkDesktop(1)\nok\nchoose 7");
  EXPECT_THAT(cleared, HasSubstr("<Icon FileName=\"a.lnk\" Checked=\"0\" />"));
}

TEST_F(WinConfigTest, WindowFunctionRowsAndUnknownFileOptRow) {
  const std::string doc = Document(
      kLists + "<WinSkill>" + Row("NUMLOCKSTATUS", "1") + Row("Other", "1") +
      "</WinSkill><ExplorerConfig TitleBar=\"R&amp;D &lt;PC&gt;\" DownFolder=\"C:\\Down\">" +
      Row("TitleBar", "1") + Row("IEOpt", "1") + "</ExplorerConfig><FileOpt>" +
      Row("Unknown", "1") + Row("Cookie", "1") + Row("Doc", "abc") + "</FileOpt>");
  const std::string out = EditWin(doc, "ok\nchoose 7", [](frmWinConfig& form) {
    EXPECT_TRUE(form.Checks("chkWinSkill")[1].value);
    EXPECT_TRUE(form.Checks("chkFile")[0].value) << "an unknown FileOpt row sets box 0";
    EXPECT_TRUE(form.Texts("txtExplorer")[0].enabled);
    EXPECT_FALSE(form.Texts("txtExplorer")[1].enabled) << "its box is unchecked";
  });
  EXPECT_THAT(out, HasSubstr("<Row ID=\"RebootWinOpt\" Value=\"1\" /><Row ID=\"Garbage\" "
                             "Value=\"0\" />"));
  EXPECT_THAT(out, HasSubstr("<Row ID=\"Cookie\" Value=\"1\" /><Row ID=\"History\" Value=\"0\" "
                             "/><Row ID=\"Doc\" Value=\"0\" /></FileOpt>\r\n"));
  EXPECT_THAT(out, HasSubstr("<ExplorerConfig TitleBar=\"R&amp;D &lt;PC&gt;\" "
                             "DownFolder=\"C:\\Down\" >\r\n<Row ID=\"TitleBar\" Value=\"1\" />"));
  EXPECT_THAT(out, HasSubstr("<Row ID=\"NumLockStatus\" Value=\"1\" />"));
}

TEST_F(WinConfigTest, ExplorerBoxesEnableTheirTextBoxesAndBrowseFillsTheFolder) {
  const std::string out =
      EditWin(Document(kLists), "check chkExplorer(1)\nbrowse \"C:\\Data\\Down\"\nok\nchoose 7",
              [](frmWinConfig& form) { EXPECT_FALSE(form.Texts("txtExplorer")[1].enabled); });
  EXPECT_THAT(out, HasSubstr("DownFolder=\"C:\\Data\\Down\" >"));
  EXPECT_THAT(out, HasSubstr("<Row ID=\"DownFolder\" Value=\"1\" />"));
}

TEST_F(WinConfigTest, DisplayListsFollowTheDocumentAndOkLeavesTheRequest) {
  const std::string doc =
      Document(kLists +
               "<WinSkill><DisplayList DPFirst=\"800 x 600\" ColorQuality=\"32 bit\" "
               "Hz=\"75 Hz\"/></WinSkill>");
  EditWin(doc, "ok\nchoose 7",
          [](frmWinConfig& form) { EXPECT_EQ(form.Lists("cboWinSkill")[1].items.size(), 2u); });
  EXPECT_EQ(request_.width, "800");
  EXPECT_EQ(request_.height, "600");
  EXPECT_EQ(request_.colorBits, "32");
  EXPECT_EQ(request_.refresh, "75");
}

TEST_F(WinConfigTest, AdapterDefaultRateAloneOffersTheFixedListWith65Hz) {
  // 1280 x 1024 has no 32 bit depth (the mode in use): no depth is chosen, so OK does
  // nothing until one is.
  const std::string out = EditWin(Document(kLists),
                                  "select cboWinSkill(0) \"1280 x 1024\"\nok\n"
                                  "select cboWinSkill(1) \"16 bit\"\nok\nchoose 7",
                                  [](frmWinConfig&) {});
  EXPECT_THAT(out, HasSubstr("DPFirst=\"1280 x 1024\" ColorQuality=\"16 bit\" Hz=\"65 Hz\""));
  EXPECT_EQ(request_.refresh, "65");
  EXPECT_EQ(EditWin(Document(kLists), "select cboWinSkill(0) \"1280 x 1024\"\nok\ncancel"), "");
}

TEST_F(WinConfigTest, CurrentModeMissingFromTheCatalogueShowsTheMessageAndOkDoesNothing) {
  UseModes({Mode(800, 600, 32, 60)}, Mode(1024, 768, 32, 60));
  const std::string out = EditWin(Document(kLists), "ok\ncancel");
  EXPECT_EQ(out, "");
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0], "Initialize Failed: 초기화에 실패하여 종료 합니다.");
}

TEST_F(WinConfigTest, ClosingTheChoiceKeepsTheEditorOpenAndCancelReturnsTheOkDocument) {
  const std::string out = EditWin(Document(kLists), "ok\nchoose close\ncheck chkFile(1)\ncancel");
  EXPECT_THAT(out, HasSubstr("<Row ID=\"Garbage\" Value=\"0\" />"))
      << "the document of the OK, not of the later change";
  EXPECT_EQ(choice_, kChoiceClosed);
  EXPECT_EQ(EditWin(Document(kLists), "close"), "");
}

TEST_F(WinConfigTest, OkLogsOneBuilderPassInTheDocumentsOrder) {
  // The log's folder, which the component has and the fixture does not make.
  for (const char* part : {"\\Components", "\\Components\\DavIrizevez"}) {
    env_->platform().files().MakeFolder(env_->scratchFolder() + part);
  }
  EditWin(Document(kLists), "ok\nchoose 7");
  std::string bytes;
  ASSERT_EQ(env_->platform().files().ReadAll(log_.LogFilePath(), &bytes), platform::kErrorSuccess);
  const std::string log = util::FromAnsi(env_->platform(), bytes);
  const std::string pass = "XMLStringWinConfig Start";
  const std::size_t first = log.find(pass);
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find(pass, first + 1), std::string::npos) << "loading adds no pass of its own:\n"
                                                          << log;
  std::size_t at = first;
  for (const char* builder :
       {"StartMenuGetXML Start", "StartProgramGetXML Start", "WinSkillGetXML Start",
        "ExplorerConfigGetXML Start", "FileOptGetXML Start", "DesktopGetXML Start"}) {
    EXPECT_NE(at = log.find(builder, at), std::string::npos)
        << "missing, in order: " << builder << "\n"
        << log;
  }
}

}  // namespace
}  // namespace dav::editors::testing
