// davhost doc check, driven as a person drives it.
#include <gtest/gtest.h>

#include <fstream>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

class DocCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Run({"machine", "init"}).exitCode, 0); }

  RunResult Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--machine", (folder_.path() / "m").string()});
    return RunDavhost(arguments);
  }
  // Puts a document onto the machine as C:\<name>.
  void Put(const std::string& name, const std::string& text) {
    std::ofstream(folder_.path() / name, std::ios::binary) << text;
    ASSERT_EQ(Run({"fs", "put", (folder_.path() / name).string(), "C:\\" + name}).exitCode, 0);
  }

  TemporaryFolder folder_;
};

TEST_F(DocCheckTest, SectionsAndRowCountsOrTheSevenParseErrorFields) {
  Put("WinConfig.qsf",
      "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot>"
      "<Configuration SpecVersion=\"1.0.0\"><StartMenu>\r\n<WinXP>\r\n<Row ID=\"a\" Value=\"1\" />"
      "\r\n</WinXP>\r\n</StartMenu>\r\n<DesktopIconManager Protected=\"True\">\r\n<IconList>\r\n"
      "<Icon FileName=\"R&amp;D.lnk\" Checked=\"1\" />\r\n</IconList>\r\n</DesktopIconManager>\r\n"
      "</Configuration></DocRoot>");
  const RunResult good = Run({"doc", "check", "--machine-path", "C:\\WinConfig.qsf"});
  EXPECT_EQ(good.exitCode, 2) << "the row \"a\" is unknown: a warning; two sections are missing\n"
                              << good.err;
  EXPECT_EQ(good.out,
            "C:\\WinConfig.qsf: WinConfig document (guessed from its sections), encoding "
            "ks_c_5601-1987, SpecVersion 1.0.0\n"
            "  StartMenu           1 row (WinXP 1)\n"
            "  DesktopIconManager  1 Icon\n"
            "C:\\WinConfig.qsf:1:57: error: StartProgramManager: The window document has no "
            "StartProgramManager section: ApplyWinConfigXML logs error 91 (Object variable or "
            "With block variable not set) at step 340, and the start programs and their "
            "protection are left as they are.\n"
            "C:\\WinConfig.qsf:1:57: error: ExplorerConfig: The window document has no "
            "ExplorerConfig section: ApplyWinConfigXML logs error 91 (Object variable or With "
            "block variable not set) at steps 450 and 460, and a TitleBar or DownFolder row "
            "other than \"0\" sets an empty window title or download folder.\n"
            "C:\\WinConfig.qsf:1:57: error: WinSkill: The window document has no "
            "WinSkill/DisplayList: applied with a shell restart (APL_WINCONF field 1 True, davhost "
            "--restart True, or the editor's choice 6), the display change finds no display mode "
            "to set and IClientComponent_Handle logs error 13 (Type mismatch): the shell is not "
            "restarted and the stage-2 notice is not posted.\n"
            "C:\\WinConfig.qsf:3:1: warning: StartMenu a: Unknown ID: the row is ignored.\n"
            "C:\\WinConfig.qsf:8:1: warning: DesktopIconManager R&D.lnk: The list has 1 entry, "
            "fewer than the 5 special icons that head it on this PC: ApplyDesktopIconList sets no "
            "special icon and keeps, restores or removes no desktop file.\n");

  Put("bad.qsf", "<DocRoot>\r\n<Configuration>\r\n<Row ID=\"a\" Value=\"1\">\r\n</Configuration>");
  const RunResult bad = Run({"doc", "check", "--machine-path", "C:\\bad.qsf"});
  EXPECT_NE(bad.exitCode, 0) << "a document that does not load is a failed check";
  EXPECT_EQ(bad.out.substr(0, bad.out.find("Err (reason)")),
            "Err (errorCode) -> 11\nErr (filepos) -> 54\nErr (Line) -> 4\nErr (linepos) -> 3\n")
      << "the fault is the end tag on line 4 that closes the wrong element";
  EXPECT_NE(bad.out.find("Err (srcText) -> </Configuration>\nErr (URL) -> C:\\bad.qsf\n"),
            std::string::npos)
      << bad.out;
}

}  // namespace
}  // namespace dav::host::testing
