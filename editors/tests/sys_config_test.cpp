// The system settings editor as a model: applets, blocked tools with their drives, the
// folder list, and OK's document.
#include <gtest/gtest.h>

#include "editors/tests/editor_fixture.h"
#include "util/ansi_text.h"

namespace dav::editors::testing {
namespace {

using ::testing::HasSubstr;

std::string Row(const std::string& id, const std::string& value) {
  return "<Row ID=\"" + id + "\" Value=\"" + value + "\" />";
}

class SysConfigTest : public EditorTest {};

TEST_F(SysConfigTest, AppletsAndNoControlPanelRowsOfBothGenerations) {
  const std::string doc = Document(
      "<ControlMngr><WinXP><CPLList ID=\"access.cpl\" DisplayName=\"내게 필요한 옵션\" "
      "Value=\"0\"/>" +
      Row("NoControlPanel", "1") +
      "</WinXP><Win7><CPLList ID=\"A&amp;B\" DisplayName=\"Windows Defender\" Value=\"1\" "
      "Disabllowcpl=\"0\"/><CPLList ID=\"x\" DisplayName=\"X\" Value=\"0\" Disabllowcpl=\"1\"/>" +
      Row(" NoControlPanel ", "0") + "</Win7></ControlMngr>");
  const std::string out = EditSys(doc, "ok\nchoose 7", [](frmSysConfig& form) {
    EXPECT_FALSE(form.Checks("chkControlPanel")[0].value) << "the later row decides both";
    EXPECT_FALSE(form.Checks("chkControlPanel")[1].value);
    EXPECT_EQ(form.Grids("fgrid")[1].Cell(0, "check"), "True");
    EXPECT_EQ(form.Grids("fgrid")[1].Cell(1, "check"), "False");
  });
  EXPECT_THAT(
      out,
      HasSubstr("<ControlMngr><WinXP>\r\n<CPLList ID=\"access.cpl\" DisplayName=\"내게 필요한 "
                "옵션\" Value=\"0\" />\r\n" +
                Row("NoControlPanel", "0") +
                "\r\n</WinXP>\r\n"
                "<Win7>\r\n<CPLList ID=\"A&amp;B\" DisplayName=\"Windows Defender\" Value=\"1\" "
                "Disabllowcpl=\"0\" />\r\n<CPLList ID=\"x\" DisplayName=\"X\" Value=\"0\" "
                "Disabllowcpl=\"1\" />\r\n" +
                Row("NoControlPanel", "0") + "\r\n</Win7></ControlMngr>\r\n"));
  // A NoControlPanel identifier in other letter case is an applet row.
  EditSys(Document("<ControlMngr><WinXP>" + Row("nocontrolpanel", "1") + "</WinXP></ControlMngr>"),
          "check chkControlPanel(1)\ncancel", [](frmSysConfig& form) {
            EXPECT_EQ(form.Grids("fgrid")[0].DataRows(), 1);
            EXPECT_FALSE(form.Checks("chkControlPanel")[0].value);
          });
}

TEST_F(SysConfigTest, DriveRowsFollowDriveSettingsAndOnlyBlockedDrivesAreWritten) {
  const std::string doc = Document("<UsedAccess>" + Row("NoDrives", "1") +
                                   Row("DriveSettings", "00100000000000000000000000") +
                                   Row("cmdprompt", "2") + "</UsedAccess>");
  std::string out = EditSys(doc, "ok\nchoose 7", [](frmSysConfig& form) {
    const Grid& drives = form.Grids("fgridDrive")[0];
    EXPECT_TRUE(drives.enabled);
    EXPECT_EQ(drives.Cell(2, "check"), "True");
    EXPECT_EQ(drives.Cell(2, "drive"), "C:\\ 드라이브");
    EXPECT_EQ(drives.Cell(3, "check"), "False");
    EXPECT_TRUE(form.Checks("chkUseAccess")[0].value) << "a Value of 2 blocks too";
  });
  EXPECT_THAT(out, HasSubstr("<UsedAccess>\r\n" + Row("CmdPrompt", "1") + "\r\n" +
                             Row("RegEdition", "0") + "\r\n"));
  EXPECT_THAT(out, HasSubstr(Row("NoViewOnDrive", "0") + "\r\n" + Row("NoDrives", "1") + "\r\n" +
                             Row("DriveSettings", "00100000000000000000000000") + "\r\n" +
                             Row("Display", "0") + "\r\n</UsedAccess>"));
  out = EditSys(doc, "uncheck \"드라이브 숨기기\"\nok\nchoose 7", [](frmSysConfig&) {});
  EXPECT_THAT(out, HasSubstr(Row("DriveSettings", "00000000000000000000000000")));
}

TEST_F(SysConfigTest, DriveGridIsDisabledUntilDrivesAreBlocked) {
  const std::string doc = Document("<UsedAccess>" + Row("DriveSettings", "1") + "</UsedAccess>");
  EditSys(doc, "check chkUseAccess(5)\ncell fgridDrive 1 check True\ncancel",
          [](frmSysConfig& form) { EXPECT_FALSE(form.Grids("fgridDrive")[0].enabled); });
  EXPECT_THROW(EditSys(doc, "cell fgridDrive 1 check True\ncancel"), ScriptError);
}

TEST_F(SysConfigTest, AddingAFolderRefusesADuplicateInAnyCaseAndShortensLongPaths) {
  const std::string doc = Document("<FolderAccess>" + Row("FolderAccess", "1") +
                                   Row("Path", "c:\\\\temp") + "</FolderAccess>");
  const std::string longPath = "C:\\Program Files\\Very Long Folder\\학생";  // 36 characters
  const std::string out = EditSys(doc, "add \"C:\\Temp\"\nadd \"" + longPath + "\"\nok\nchoose 7",
                                  [](frmSysConfig&) {});
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_THAT(dialogs_.shown[0], HasSubstr("중복된 경로입니다."));
  EXPECT_THAT(out,
              HasSubstr(Row("Path", "c:\\\\temp|c:\\\\program files\\\\very long folder\\\\학생")));
  EditSys(doc, "add \"" + longPath + "\"\ncancel", {}, [](frmSysConfig& form) {
    EXPECT_EQ(form.Grids("fgridFolder")[0].Cell(2, "path"), "c:\\program files\\very long fol..");
    EXPECT_EQ(form.Grids("fgridFolder")[0].Cell(2, "number"), "2");
  });
}

// 29 characters are shown whole; from 30 on the first 30 are shown with "..".
TEST_F(SysConfigTest, AddedPathsAreShortenedFromThirtyCharacters) {
  const std::string doc = Document("<FolderAccess>" + Row("FolderAccess", "1") + "</FolderAccess>");
  const std::string short29 = "c:\\" + std::string(26, 'a');
  const std::string long30 = "c:\\" + std::string(27, 'b');
  EditSys(doc, "add \"" + short29 + "\"\nadd \"" + long30 + "\"\ncancel", {},
          [&](frmSysConfig& form) {
            const Grid& grid = form.Grids("fgridFolder")[0];
            ASSERT_EQ(grid.DataRows(), 2);
            EXPECT_EQ(grid.Cell(1, "path"), short29);
            EXPECT_EQ(grid.Cell(2, "path"), long30 + "..");
            EXPECT_EQ(grid.Cell(2, "temp"), long30);
          });
}

TEST_F(SysConfigTest, PathRowsRoundTripWithDoubledBackslashesAndSkipTheProtectedFolder) {
  const std::string protectedPath = env_->scratchFolder() + "\\CDKey\\plimsa";
  std::string doubled;
  for (const char c : protectedPath) doubled += c == '\\' ? std::string("\\\\") : std::string(1, c);
  const std::string doc = Document("<FolderAccess>" + Row("FolderAccess", "1") +
                                   Row("Path", "C:\\\\A|" + doubled + "|C:\\\\B") +
                                   Row("LowAccess", "1") + "</FolderAccess>");
  const std::string out = EditSys(doc, "ok\nchoose 7", [](frmSysConfig& form) {
    const Grid& grid = form.Grids("fgridFolder")[0];
    ASSERT_EQ(grid.DataRows(), 2);
    EXPECT_EQ(grid.Cell(1, "path"), "C:\\A");
    EXPECT_EQ(grid.Cell(1, "number"), "1");
    EXPECT_EQ(grid.Cell(2, "temp"), "C:\\B");
    EXPECT_EQ(grid.Cell(2, "number"), "3") << "the protected folder leaves a gap";
  });
  EXPECT_THAT(out, HasSubstr("<FolderAccess>\r\n" + Row("FolderAccess", "1") + "\r\n" +
                             Row("LowAccess", "1") + "\r\n" + Row("Path", "C:\\\\A|C:\\\\B") +
                             "\r\n</FolderAccess>\r\n"));
}

TEST_F(SysConfigTest, LongLoadedPathsAreShownShortAndToolTipShowsTheWholePath) {
  const std::string path = "D:\\\\Shared\\\\Lecture Materials\\\\2026\\\\Week01";
  const std::string doc =
      Document("<FolderAccess>" + Row("FolderAccess", "1") + Row("Path", path) + "</FolderAccess>");
  EditSys(
      doc, "hover fgridFolder 1 1\ncancel",
      [](frmSysConfig& form) {
        // The first 30 characters of the text as written, then the backslashes halved.
        EXPECT_EQ(form.Grids("fgridFolder")[0].Cell(1, "path"),
                  "D:\\Shared\\Lecture Materials\\..");
      },
      [](frmSysConfig& form) {
        EXPECT_EQ(form.Grids("fgridFolder")[0].toolTip,
                  "D:\\Shared\\Lecture Materials\\2026\\Week01");
      });
}

TEST_F(SysConfigTest, UncheckingFolderAccessDisablesTheFolderControlsAndWritesLowAccess0) {
  const std::string doc =
      Document("<FolderAccess>" + Row("FolderAccess", "1") + Row("LowAccess", "1") +
               Row("Path", "C:\\\\A") + "</FolderAccess>");
  const std::string out =
      EditSys(doc, "uncheck \"지정 폴더 접근을 차단합니다.\"\nok\nchoose 6",
              [](frmSysConfig& form) { EXPECT_TRUE(form.Buttons("cmdInsert")[0].enabled); });
  EXPECT_THAT(out, HasSubstr(Row("FolderAccess", "0") + "\r\n" + Row("LowAccess", "0")));
  EXPECT_THAT(out, HasSubstr(Row("Path", "C:\\\\A")));
  EXPECT_EQ(choice_, kChoiceRestartShell);
  for (const char* action :
       {"add \"C:\\X\"", "click cmdDelete", "text txtPath x", "check chkFolder(1)"}) {
    EXPECT_THROW(EditSys(doc, "uncheck chkFolder(0)\n" + std::string(action) + "\ncancel"),
                 ScriptError)
        << action;
  }
  EditSys(Document(""), "cancel", [](frmSysConfig& form) {
    EXPECT_FALSE(form.Grids("fgridFolder")[0].enabled) << "the folder rule runs after loading";
  });
}

TEST_F(SysConfigTest, DeleteRemovesTheCurrentDataRowOnly) {
  const std::string doc = Document("<FolderAccess>" + Row("FolderAccess", "1") +
                                   Row("Path", "C:\\\\A|C:\\\\B|C:\\\\C") + "</FolderAccess>");
  std::string out = EditSys(doc, "current fgridFolder 2 1\nclick cmdDelete\nok\nchoose 7");
  EXPECT_THAT(out, HasSubstr(Row("Path", "C:\\\\A|C:\\\\C")));
  out = EditSys(doc, "current fgridFolder 0 1\nclick cmdDelete\nok\nchoose 7");
  EXPECT_THAT(out, HasSubstr(Row("Path", "C:\\\\A|C:\\\\B|C:\\\\C")));
}

TEST_F(SysConfigTest, SelectAllButtonsAndClosingChoices) {
  const std::string doc = Document(
      "<ControlMngr><WinXP><CPLList ID=\"a\" DisplayName=\"A\" Value=\"0\"/><CPLList ID=\"b\" "
      "DisplayName=\"B\" Value=\"0\"/></WinXP></ControlMngr>");
  std::string out = EditSys(doc, "click cmdAllSelect(0)\nok\nchoose close");
  EXPECT_THAT(out, HasSubstr("ID=\"b\" DisplayName=\"B\" Value=\"1\""));
  EXPECT_EQ(choice_, kChoiceClosed) << "the system editor closes whatever the choice";
  EXPECT_EQ(EditSys(doc, "click cmdAllSelect(0)\ncancel"), "");
}

TEST_F(SysConfigTest, OkLogsOneBuilderPassInTheDocumentsOrder) {
  // The log's folder, which the component has and the fixture does not make.
  for (const char* part : {"\\Components", "\\Components\\DavIrizevez"}) {
    env_->platform().files().MakeFolder(env_->scratchFolder() + part);
  }
  EditSys(Document(""), "ok\nchoose 7");
  std::string bytes;
  ASSERT_EQ(env_->platform().files().ReadAll(log_.LogFilePath(), &bytes), platform::kErrorSuccess);
  const std::string log = util::FromAnsi(env_->platform(), bytes);
  const std::string pass = "XMLStringSysConfig Start";
  const std::size_t first = log.find(pass);
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find(pass, first + 1), std::string::npos) << "loading adds no pass of its own:\n"
                                                          << log;
  std::size_t at = first;
  for (const char* builder :
       {"CPGetXML Start", "UsedAccessGetXML Start", "FolderAccessGetXML Start"}) {
    EXPECT_NE(at = log.find(builder, at), std::string::npos)
        << "missing, in order: " << builder << "\n"
        << log;
  }
}

}  // namespace
}  // namespace dav::editors::testing
