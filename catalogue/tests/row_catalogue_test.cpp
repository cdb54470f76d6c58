// The row catalogue against the sections it describes: every catalogued row is one the
// producer writes, and a Value that is no number stops the applier exactly where the
// catalogue says the row needs a number.
#include "catalogue/row_catalogue.h"

#include <gtest/gtest.h>

#include <functional>

#include "catalogue/access.h"
#include "catalogue/control_panel.h"
#include "catalogue/start_menu.h"
#include "catalogue/tests/system_sections_fixture.h"
#include "catalogue/tests/window_sections_fixture.h"
#include "catalogue/window_skill.h"

namespace dav::catalogue {
namespace {

namespace mod = modDavIrizevez;

std::size_t Errors(const std::string& log) {
  std::size_t n = 0;
  for (std::size_t at = log.find("[err:"); at != std::string::npos;
       at = log.find("[err:", at + 1)) {
    ++n;
  }
  return n;
}

// The body holding one row of the section (inside its form, if any).
std::string OneRow(const SectionRows& section, const RowSpec& row, const std::string& value) {
  std::string text = "<Row ID=\"" + std::string(row.id) + "\" Value=\"" + value + "\" />";
  if (!row.form.empty())
    text = "<" + std::string(row.form) + ">" + text + "</" + std::string(row.form) + ">";
  if (section.name == "ExplorerConfig") {
    return "<ExplorerConfig TitleBar=\"t\" DownFolder=\"d\">" + text + "</ExplorerConfig>";
  }
  return "<" + std::string(section.name) + ">" + text + "</" + std::string(section.name) + ">";
}

std::string RowsPath(const SectionRows& section, const RowSpec& row) {
  return "DocRoot/Configuration/" + std::string(section.name) + "/" +
         (row.form.empty() ? "" : std::string(row.form) + "/") + "Row";
}

// Applies the document's section through its applier.
void ApplyWindowSection(SectionContext& ctx, const SectionRows& section, const RowSpec& row,
                        const xml::Document& doc) {
  const xml::NodeList rows = doc.selectNodes(RowsPath(section, row));
  const xml::NodeList none;
  if (section.name == "StartMenu") {
    if (row.form == "Win7") {
      mod::GetXMLStartMenu_Win7(ctx, rows);
    } else {
      mod::GetXMLStartMenu_WinXP(ctx, row.form == "WinXP" ? rows : none,
                                 row.form == "WinOriginal" ? rows : none);
    }
  } else if (section.name == "WinSkill") {
    mod::GetXMLWinSkill(ctx, rows, none, false);
  } else if (section.name == "ExplorerConfig") {
    mod::GetXMLExplorerConfig(ctx, rows, "t", "d");
  } else if (section.name == "FileOpt") {
    mod::GetXMLFileOpt(ctx, rows);
  }
}

void ApplySystemSection(SectionContext& ctx, const SectionRows& section, const RowSpec& row,
                        const xml::Document& doc) {
  const xml::NodeList rows = doc.selectNodes(RowsPath(section, row));
  if (section.name == "ControlMngr") mod::GetXMLControlPanel(ctx, {}, rows);
  if (section.name == "UsedAccess") mod::GetXMLUsedAccess(ctx, rows);
  if (section.name == "FolderAccess") mod::GetXMLFolderAccess(ctx, rows);
}

bool IsSystemSection(const SectionRows& section) {
  return section.document == "SysConfig";
}

TEST(RowCatalogue, ANonNumberStopsTheApplierExactlyWhereTheCatalogueSaysANumberIsNeeded) {
  testing::SectionMachine window(true, false);
  system_testing::SystemMachine system(true, false);
  for (const SectionRows* section : AllSectionRows()) {
    if (section->producer.empty()) continue;  // the legacy sections: legacy_rows_test.cpp
    for (const RowSpec& row : section->rows) {
      for (const std::string value : {"abc", "1"}) {
        const bool sys = IsSystemSection(*section);
        const std::string before = sys ? system.LogText() : window.LogText();
        if (sys) {
          ApplySystemSection(system.ctx(), *section, row,
                             system_testing::LoadSysDocument(OneRow(*section, row, value)));
        } else {
          ApplyWindowSection(window.ctx(), *section, row,
                             testing::LoadDocument(OneRow(*section, row, value)));
        }
        const std::string after = sys ? system.LogText() : window.LogText();
        const bool stopped = Errors(after) > Errors(before);
        const bool needed = row.need != ValueNeed::kAnything && !MeetsNeed(row.need, value);
        EXPECT_EQ(stopped, needed)
            << section->name << " " << row.form << "/" << row.id << " Value \"" << value
            << "\": the catalogue says " << (needed ? "" : "no ") << "failure, the applier "
            << (stopped ? "failed" : "did not fail");
      }
    }
  }
}

TEST(RowCatalogue, EveryCataloguedRowIsOneTheProducerWrites) {
  for (const bool winXP : {true, false}) {
    testing::SectionMachine window(winXP, !winXP);
    system_testing::SystemMachine system(winXP, !winXP);
    const std::string produced =
        mod::XMLStringStartMenu(window.ctx()) + mod::XMLStringWinSkill(window.ctx()) +
        mod::XMLStringControlPanel(system.ctx()) + mod::XMLStringUsedAccess(system.ctx()) +
        mod::XMLStringFolderAccess(system.ctx());
    for (const SectionRows* section : AllSectionRows()) {
      if (section->producer.empty()) continue;  // applied only, never produced
      const std::string name(section->name);
      const std::size_t start = produced.find("<" + name);
      const std::size_t end = produced.find("</" + name + ">");
      ASSERT_NE(start, std::string::npos) << name;
      const std::string text = produced.substr(start, end - start);
      for (const RowSpec& row : section->rows) {
        std::string inForm = text;
        if (!row.form.empty()) {
          const std::size_t formStart = text.find("<" + std::string(row.form) + ">");
          ASSERT_NE(formStart, std::string::npos) << name << "/" << row.form;
          inForm =
              text.substr(formStart, text.find("</" + std::string(row.form) + ">") - formStart);
        }
        EXPECT_NE(inForm.find("<Row ID=\"" + std::string(row.id) + "\""), std::string::npos)
            << name << " " << row.form << "/" << row.id << " is catalogued but not produced";
      }
    }
  }
}

TEST(RowCatalogue, LookupIgnoresTheCaseOfIdsButNotOfForms) {
  const SectionRows* access = FindSectionRows("UsedAccess");
  ASSERT_NE(access, nullptr);
  EXPECT_NE(FindRow(*access, "", "TASKMANAGER"), nullptr);
  EXPECT_EQ(FindRow(*access, "", "TaskManger"), nullptr);
  EXPECT_EQ(FindSectionRows("usedaccess"), nullptr) << "element names are case-sensitive";
  const SectionRows* startMenu = FindSectionRows("StartMenu");
  ASSERT_NE(startMenu, nullptr);
  EXPECT_NE(FindRow(*startMenu, "Win7", "run"), nullptr);
  EXPECT_EQ(FindRow(*startMenu, "WinXP", "Run"), nullptr) << "Run is a Win7 row only";
}

}  // namespace
}  // namespace dav::catalogue
