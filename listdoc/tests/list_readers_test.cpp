// Reading the start program and desktop icon lists back from a document.
#include <gtest/gtest.h>

#include "listdoc/md_type_define.h"
#include "platform/registry.h"
#include "util/run_time_error.h"
#include "util/tests/util_test_support.h"

namespace dav::mdTypeDefine {
namespace {

std::string Document(const std::string& body) {
  return XMLDocument("1.0.0", body);
}

class ListReadersTest : public ::testing::Test, public util::testing::UtilFixture {
 protected:
  std::string LogText() { return ReadText(log->LogFilePath()); }
};

TEST_F(ListReadersTest, StartProgramsRoundTripThroughTheDocument) {
  UType_SPMData quoted;
  quoted.spmFileName = "R&D <A> 한글";
  quoted.spmPathSwitch = "\"C:\\Program Files\\A\\a.exe\" -s";
  quoted.spmIsStart = true;
  quoted.spmRegPath = "HKEY_LOCAL_MACHINE_RUN";
  quoted.spmRegHKey = -2147483646;
  UType_SPMData user;
  user.spmFileName = "B";
  user.spmIsPrevStart = true;
  user.spmDelete = true;
  user.spmRegHKey = -2147483647;

  bool isProtected = false;
  std::vector<UType_SPMData> list;
  ParseSPMList(*log, Document(XMLStringSPMList(*log, true, {quoted, user})), &isProtected, &list);
  EXPECT_TRUE(isProtected);
  EXPECT_EQ(list, (std::vector<UType_SPMData>{quoted, user}))
      << "every field, a command line with quotes and names with & and < included, survives";
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(static_cast<platform::KeyHandle>(list[0].spmRegHKey), platform::kHKeyLocalMachine)
      << "HKey -2147483646 is the handle of HKEY_LOCAL_MACHINE";

  ParseSPMList(*log, Document(XMLStringSPMList(*log, false, {})), &isProtected, &list);
  EXPECT_FALSE(isProtected);
  EXPECT_TRUE(list.empty()) << "a section without entries gives an empty list";
}

TEST_F(ListReadersTest, MissingAttributeRaisesAndKeepsTheEntriesReadBefore) {
  const std::string text = Document(
      "<StartProgramManager Protected=\"True\"><RunKeyList>"
      "<RunKey HKey=\"1\" Path=\"p\" Name=\"first\" Command=\"c\" IsPrevStart=\"False\" "
      "Checked=\"True\" Deleted=\"False\" />"
      "<RunKey HKey=\"1\" Path=\"p\" Name=\"second\" Command=\"c\" IsPrevStart=\"False\" "
      "Checked=\"True\" />"
      "</RunKeyList></StartProgramManager>");
  bool isProtected = false;
  std::vector<UType_SPMData> list;
  try {
    ParseSPMList(*log, text, &isProtected, &list);
    FAIL() << "a RunKey without Deleted must raise to the caller";
  } catch (const util::RunTimeError& e) {
    EXPECT_EQ(e.number(), util::kErrObjectNotSet);
  }
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].spmFileName, "first");
  EXPECT_EQ(list[1].spmFileName, "second") << "attributes before the missing one are read";
}

TEST_F(ListReadersTest, TextThatIsNotXmlLeavesTheListsAndLogsSevenLines) {
  std::vector<UType_SPMData> list(1);
  list[0].spmFileName = "kept";
  std::vector<UType_DIData> icons(1, UType_DIData{"kept.lnk", 1});
  bool isProtected = true;
  ParseSPMList(*log, "<DocRoot><Configuration>", &isProtected, &list);
  EXPECT_FALSE(isProtected);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].spmFileName, "kept");

  isProtected = true;
  ParseDIList(*log, "not xml", &isProtected, &icons);
  EXPECT_FALSE(isProtected);
  EXPECT_EQ(icons[0].diFileName, "kept.lnk");

  const std::string text = LogText();
  std::size_t lines = 0;
  for (std::size_t at = text.find("\tErr ("); at != std::string::npos;
       at = text.find("\tErr (", at + 1)) {
    ++lines;
  }
  EXPECT_EQ(lines, 14u) << "each reader logs the seven parse-error lines\n" << text;
}

TEST_F(ListReadersTest, DesktopIconsCurrentAndLegacyForm) {
  bool isProtected = false;
  std::vector<UType_DIData> icons;
  ParseDIList(*log, Document(XMLStringDIList(true, {{"R&D.lnk", 1}, {"메모장.lnk", 0}})),
              &isProtected, &icons);
  EXPECT_TRUE(isProtected);
  EXPECT_EQ(icons, (std::vector<UType_DIData>{{"R&D.lnk", 1}, {"메모장.lnk", 0}}));

  // The legacy document keeps the icons inside StartProgramManager, Checked as a Boolean.
  std::vector<UType_SPMData> list;
  std::vector<UType_DIData> legacy;
  ParseSPMListLegacy(*log,
                     Document("<StartProgramManager Protected=\"False\"><RunKeyList/>"
                              "<IconList><Icon FileName=\"a.lnk\" Checked=\"True\" />"
                              "<Icon FileName=\"b.lnk\" Checked=\"False\" /></IconList>"
                              "</StartProgramManager>"),
                     &isProtected, &list, &legacy);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(legacy, (std::vector<UType_DIData>{{"a.lnk", 1}, {"b.lnk", 0}}));

  ParseSPMListLegacy(*log, Document("<StartProgramManager Protected=\"False\"/>"), &isProtected,
                     &list, &legacy);
  EXPECT_EQ(legacy.size(), 2u) << "with no icons the icon list is left as it was";
}

}  // namespace
}  // namespace dav::mdTypeDefine
