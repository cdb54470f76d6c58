// The StartProgramManager and DesktopIconManager sections and the document frame as text.
#include <gtest/gtest.h>

#include "listdoc/md_type_define.h"
#include "util/tests/util_test_support.h"

namespace dav::mdTypeDefine {
namespace {

class ListWritersTest : public ::testing::Test, public util::testing::UtilFixture {
 protected:
  std::string LogText() { return ReadText(log->LogFilePath()); }
};

TEST_F(ListWritersTest, ProtectedEmptyStartProgramListIsExactlyTwoLines) {
  EXPECT_EQ(XMLStringSPMList(*log, true, {}),
            "<StartProgramManager Protected=\"True\">\r\n</StartProgramManager>\r\n");
  EXPECT_EQ(LogText(),
            "[2026-12-08 15:04:05]\tmdTypeDefine.XMLStringSPMList Start\r\n"
            "[2026-12-08 15:04:05]\tmdTypeDefine.XMLStringSPMList End\r\n");
}

TEST_F(ListWritersTest, RunKeyAttributesInOrderWithEscapedTexts) {
  UType_SPMData tool;
  tool.spmFileName = "Tool";
  tool.spmPathSwitch = "C:\\Tool\\tool.exe /min";
  tool.spmIsStart = true;
  tool.spmIsPrevStart = true;
  tool.spmRegPath = "HKEY_LOCAL_MACHINE_RUN";
  tool.spmRegHKey = -2147483646;
  UType_SPMData quoted;
  quoted.spmFileName = "R&D <A>";
  quoted.spmPathSwitch = "\"C:\\Program Files\\A\\a.exe\" -s 'x'";
  quoted.spmRegPath = "HKEY_CURRENT_USER_RUN";
  quoted.spmRegHKey = -2147483647;
  quoted.spmDelete = true;

  EXPECT_EQ(
      XMLStringSPMList(*log, false, {tool, quoted}),
      "<StartProgramManager Protected=\"False\">\r\n"
      "<RunKeyList>\r\n"
      "<RunKey HKey=\"-2147483646\" Path=\"HKEY_LOCAL_MACHINE_RUN\" Name=\"Tool\" "
      "Command=\"C:\\Tool\\tool.exe /min\" IsPrevStart=\"True\" Checked=\"True\" "
      "Deleted=\"False\" />\r\n"
      "<RunKey HKey=\"-2147483647\" Path=\"HKEY_CURRENT_USER_RUN\" Name=\"R&amp;D &lt;A&gt;\" "
      "Command=\"&quot;C:\\Program Files\\A\\a.exe&quot; -s 'x'\" IsPrevStart=\"False\" "
      "Checked=\"False\" Deleted=\"True\" />\r\n"
      "</RunKeyList>\r\n"
      "</StartProgramManager>\r\n");
}

TEST_F(ListWritersTest, IconNamesEscapeOnlyTheAmpersand) {
  EXPECT_EQ(XMLStringDIList(false, {}),
            "<DesktopIconManager Protected=\"False\">\r\n</DesktopIconManager>\r\n");
  EXPECT_EQ(XMLStringDIList(true, {{"R&D.lnk", 1}, {"a<b>.lnk", 0}}),
            "<DesktopIconManager Protected=\"True\">\r\n"
            "<IconList>\r\n"
            "<Icon FileName=\"R&amp;D.lnk\" Checked=\"1\" />\r\n"
            "<Icon FileName=\"a<b>.lnk\" Checked=\"0\" />\r\n"
            "</IconList>\r\n"
            "</DesktopIconManager>\r\n");
  EXPECT_EQ(LogText(), "<missing>") << "the icon list writer logs nothing";
}

TEST_F(ListWritersTest, FrameAndEscaping) {
  EXPECT_EQ(XMLDocument("1.0.0", "X"),
            "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot>"
            "<Configuration SpecVersion=\"1.0.0\">X</Configuration></DocRoot>");
  EXPECT_EQ(XMLValueReplace(*log, "&lt;\"R&D\" <x> it's"),
            "&amp;lt;&quot;R&amp;D&quot; &lt;x&gt; it's")
      << "the ampersand goes first, so entities created are not escaped again";
}

}  // namespace
}  // namespace dav::mdTypeDefine
