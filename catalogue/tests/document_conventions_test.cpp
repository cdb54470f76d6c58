#include "catalogue/document_conventions.h"

#include <gtest/gtest.h>

#include "util/run_time_error.h"

namespace dav::catalogue {
namespace {

xml::Document Load(const std::string& body) {
  xml::Document doc;
  EXPECT_TRUE(doc.loadXML("<DocRoot><Configuration SpecVersion=\"1.0.0\">" + body +
                          "</Configuration></DocRoot>"))
      << doc.parseError().reason << " at " << doc.parseError().linepos << "\n"
      << body;
  return doc;
}

TEST(DocumentConventionsTest, RowsReadWithLowercasedIdentifierAndExactValue) {
  const xml::Document doc = Load(
      "<WinSkill><Row ID=\"CMDPROMPT\" Value=\"True\" /><Row ID=\"MyDocView\" Value=\" 1\" />"
      "<Row ID=\"TaskManager\" Value=\"abc\" /><Row ID=\"late\" Value=\"1\" /></WinSkill>");
  std::vector<std::pair<std::string, std::string>> applied;
  EXPECT_THROW(ForEachRow(doc.selectNodes(SectionRowsPath("WinSkill")),
                          [&](const Row& row) {
                            if (row.id == "taskmanager") std::stoi(row.value);
                            applied.emplace_back(row.id, row.value);
                          }),
               std::exception)
      << "a row that fails stops the applier";
  EXPECT_EQ(applied, (std::vector<std::pair<std::string, std::string>>{{"cmdprompt", "True"},
                                                                       {"mydocview", " 1"}}))
      << "identifiers are lowercased, values kept exactly; rows before the failure stay applied";
}

TEST(DocumentConventionsTest, RowWithoutIdOrValueIsAFailureOfTheApplier) {
  const xml::Document doc =
      Load("<FileOpt><Row Value=\"1\" /><Row ID=\"Temp\" /><Row ID=\"x\" Value=\"\" /></FileOpt>");
  const xml::NodeList rows = doc.selectNodes(SectionRowsPath("FileOpt"));
  for (std::size_t i = 0; i < 2; ++i) {
    try {
      ReadRow(rows[i]);
      FAIL() << "row " << i << " lacks an attribute and must raise";
    } catch (const util::RunTimeError& e) {
      EXPECT_EQ(e.number(), util::kErrObjectNotSet) << "row " << i;
    }
  }
  EXPECT_EQ(ReadRow(rows[2]).value, "") << "an empty Value is a value";
}

TEST(DocumentConventionsTest, EmptyFormSelectsTheRowsOfEveryForm) {
  EXPECT_EQ(SectionRowsPath("ControlMngr", ""), "DocRoot/Configuration/ControlMngr//Row");
  const xml::Document doc = Load(
      "<ControlMngr><WinXP><Row ID=\"a\" Value=\"1\" /></WinXP>"
      "<Win7><Row ID=\"b\" Value=\"1\" /></Win7></ControlMngr>");
  EXPECT_EQ(doc.selectNodes(SectionRowsPath("ControlMngr", "Win7")).size(), 1u);
  EXPECT_EQ(doc.selectNodes(SectionRowsPath("ControlMngr", "")).size(), 2u);
}

TEST(DocumentConventionsTest, PlaceholdersBecomeQuotesOnceButNotInsideValues) {
  EXPECT_EQ(ReplaceQuotePlaceholders("<Row ID=㎮TitleBar㎮ Value=㎮1㎮ />"),
            "<Row ID=\"TitleBar\" Value=\"1\" />");

  // A producer inserts a value holding the placeholder character, then replaces.
  const std::string section =
      ReplaceQuotePlaceholders("<WinSkill>\r\n<Row ID=㎮Title㎮ Value=㎮" +
                               ProtectValue("5 ㎮ per second") + "㎮ />\r\n</WinSkill>\r\n");
  const xml::Document doc = Load(section);
  const xml::NodeList rows = doc.selectNodes(SectionRowsPath("WinSkill"));
  ASSERT_EQ(rows.size(), 1u) << section;
  EXPECT_EQ(ReadRow(rows[0]).value, "5 ㎮ per second")
      << "the character in a value survives the placeholder replacement";
  EXPECT_EQ(RowText("T", "R&amp;D ㎮"), "<Row ID=\"T\" Value=\"R&amp;D &#13230;\" />\r\n");
}

}  // namespace
}  // namespace dav::catalogue
