#include "catalogue/document_summary.h"

#include <gtest/gtest.h>

namespace dav::catalogue {
namespace {

DocumentSummary Summary(const std::string& body) {
  xml::Document doc;
  EXPECT_TRUE(
      doc.loadXML("<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot>"
                  "<Configuration SpecVersion=\"1.0.0\">" +
                  body + "</Configuration></DocRoot>"))
      << doc.parseError().reason;
  return SummarizeDocument(doc);
}

// Sections, counts and the WinConfig kind are shown end to end by davhost doc check's test.
TEST(DocumentSummaryTest, KindIsTheFirstDocumentHoldingEverySection) {
  EXPECT_EQ(Summary("<ControlMngr/><UsedAccess/>").kind, DocumentKind::kSysConfig);
  EXPECT_EQ(Summary("<ControlMngr/><SysMngr/>").kind, DocumentKind::kLegacy)
      << "SysMngr is only in the legacy document";
}

TEST(DocumentSummaryTest, ProblemsThatStopAnApplierOrAReader) {
  const DocumentSummary s = Summary(
      "<StartMenu><WinXP><Row ID=\"a\" Value=\"1\" /><Row ID=\"b\" /></WinXP></StartMenu>"
      "<StartProgramManager><RunKeyList><RunKey Name=\"n\" /></RunKeyList></StartProgramManager>"
      "<Unknown/>");
  EXPECT_FALSE(s.kind.has_value());
  const auto has = [&](const std::string& text) {
    for (const std::string& p : s.problems) {
      if (p.find(text) != std::string::npos) return true;
    }
    return false;
  };
  EXPECT_TRUE(has("StartMenu/WinXP row 2 has no Value")) << ::testing::PrintToString(s.problems);
  EXPECT_TRUE(has("StartProgramManager has no Protected"));
  EXPECT_TRUE(has("StartProgramManager RunKey 1 has no Deleted"));
  EXPECT_TRUE(has("Unknown belongs to no"));

  xml::Document doc;
  ASSERT_TRUE(doc.loadXML("<Other/>"));
  EXPECT_EQ(SummarizeDocument(doc).problems.size(), 1u) << "no Configuration element";
}

}  // namespace
}  // namespace dav::catalogue
