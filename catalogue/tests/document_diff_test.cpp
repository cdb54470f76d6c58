// Two documents compared entry by entry.
#include "catalogue/document_diff.h"

#include <gtest/gtest.h>

namespace dav::catalogue {
namespace {

xml::Document Load(const std::string& body) {
  xml::Document doc;
  EXPECT_TRUE(doc.loadXML("<DocRoot><Configuration>" + body + "</Configuration></DocRoot>"));
  return doc;
}

TEST(DocumentDiff, LayoutOrderAndLetterCaseOfIdsDoNotCount) {
  const auto same = DiffDocuments(
      Load("<UsedAccess><Row ID=\"CmdPrompt\" Value=\"1\" /><Row ID=\"TaskManager\" "
           "Value=\"0\" /></UsedAccess>"),
      Load("<UsedAccess>\r\n  <Row Value=\"0\" ID=\"TASKMANAGER\"/>\r\n  <Row ID=\"cmdprompt\" "
           "Value=\"1\"/>\r\n</UsedAccess>"));
  EXPECT_TRUE(same.empty());
}

TEST(DocumentDiff, ChangedValuesRowsOnlyInOneAndTheLastRepeatedRowCounts) {
  const auto d = DiffDocuments(
      Load("<UsedAccess><Row ID=\"CmdPrompt\" Value=\"1\" /><Row ID=\"RegEdition\" Value=\"1\" />"
           "<Row ID=\"RegEdition\" Value=\"0\" /></UsedAccess>"
           "<WinSkill><DisplayList DPFirst=\"800 x 600\" ColorQuality=\"32 bit\" Hz=\"60 Hz\" />"
           "</WinSkill>"),
      Load("<UsedAccess><Row ID=\"RegEdition\" Value=\"1\" /><Row ID=\"Display\" Value=\"1\" />"
           "</UsedAccess><StartMenu><WinXP><Row ID=\"CmdPrompt\" Value=\"1\" /></WinXP>"
           "</StartMenu><WinSkill><DisplayList DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" "
           "Hz=\"60 Hz\" /></WinSkill>"));
  ASSERT_EQ(d.size(), 5u);
  EXPECT_EQ(d[0].place, "UsedAccess");
  EXPECT_EQ(d[0].id, "CmdPrompt");
  EXPECT_FALSE(d[0].second) << "a row keeps its section: StartMenu/WinXP CmdPrompt is another";
  EXPECT_EQ(d[1].id, "RegEdition");
  EXPECT_EQ(*d[1].first, "0") << "the last of repeated rows is the one applied";
  EXPECT_EQ(*d[1].second, "1");
  EXPECT_EQ(d[2].place, "WinSkill/DisplayList");
  EXPECT_EQ(*d[2].second, "DPFirst=1024 x 768 ColorQuality=32 bit Hz=60 Hz");
  EXPECT_EQ(d[3].id, "Display");
  EXPECT_FALSE(d[3].first);
  EXPECT_EQ(d[4].place, "StartMenu/WinXP");
}

}  // namespace
}  // namespace dav::catalogue
