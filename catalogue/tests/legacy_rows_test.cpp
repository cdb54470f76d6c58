// The legacy document's row catalogue against its appliers: a Value that is no number
// stops the applier exactly where the catalogue says the row needs one, and every
// catalogued row is one its applier acts on (two of its values leave the PC differently).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "catalogue/control_panel.h"
#include "catalogue/document_conventions.h"
#include "catalogue/legacy_browser_sections.h"
#include "catalogue/legacy_drive_sections.h"
#include "catalogue/legacy_system_sections.h"
#include "catalogue/registry_places.h"
#include "catalogue/row_catalogue.h"
#include "catalogue/start_menu.h"
#include "catalogue/tests/window_sections_fixture.h"

namespace dav::catalogue {
namespace {

namespace mod = modDavIrizevez;
using platform::KeyHandle;
using platform::kHKeyClassesRoot;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

constexpr const char* kComponentKey = "Software\\DavTest\\Components\\DavIrizevez.CCDavIrizevez";
constexpr const char* kUninstallPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall";

// Every place the legacy appliers write a value, put back as it was when a test ends.
const std::vector<std::pair<KeyHandle, std::string>> kLegacyKeys = {
    {kHKeyCurrentUser, kSystemPolicies},
    {kHKeyLocalMachine, kSystemPolicies},
    {kHKeyCurrentUser, kCommandPolicies},
    {kHKeyLocalMachine, kCommandPolicies},
    {kHKeyCurrentUser,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},
    {kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"},
    {kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup"},
    {kHKeyClassesRoot, "lnkfile"},
    {kHKeyClassesRoot, "InternetShortcut"},
    {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"},
    {kHKeyCurrentUser, kUninstallPolicies},
    {kHKeyLocalMachine, kUninstallPolicies},
    {kHKeyLocalMachine, kComponentKey},
};

// The keys whose values a row may change, the machine's own section keys included.
std::vector<std::pair<KeyHandle, std::string>> WatchedKeys() {
  std::vector<std::pair<KeyHandle, std::string>> keys = kLegacyKeys;
  keys.insert(keys.end(), {{kHKeyCurrentUser, testing::kAdvancedKey},
                           {kHKeyCurrentUser, testing::kPoliciesKey},
                           {kHKeyLocalMachine, testing::kPoliciesKey},
                           {kHKeyCurrentUser, testing::kShellFoldersKey},
                           {kHKeyCurrentUser, "Control Panel\\Keyboard"},
                           {kHKeyCurrentUser, kBrowserKey},
                           {kHKeyCurrentUser, kBrowserMainKey},
                           {kHKeyCurrentUser, kBrowserOptionsKey},
                           {kHKeyLocalMachine, kClientKey}});
  return keys;
}

class LegacyRowsMachine : public testing::SectionMachine {
 public:
  LegacyRowsMachine() : SectionMachine(true, false, kLegacyKeys) {}

  // Every value of the watched keys, as "key\name=type:data" lines.
  std::string Values() {
    std::string text;
    platform::Registry& registry = platform().registry();
    for (const auto& [hive, path] : WatchedKeys()) {
      KeyHandle key = platform::kNoKey;
      if (registry.OpenKey(hive, path, &key) != platform::kErrorSuccess) continue;
      std::string name;
      std::string data;
      platform::ValueType type{};
      for (std::uint32_t i = 0;
           registry.EnumValue(key, i, &name, &type, &data) == platform::kErrorSuccess; ++i) {
        text +=
            path + "\\" + name + "=" + std::to_string(static_cast<int>(type)) + ":" + data + "\n";
      }
      registry.CloseKey(key);
    }
    return text;
  }
};

// The section's body holding the row (in its form, if any) with that Value; DiskMngr's
// drive choices come with the DriveSettings row they act through.
std::string Body(const SectionRows& section, const RowSpec& row, const std::string& value) {
  std::string rows = testing::RowXml(std::string(row.id), value);
  if (section.name == "DiskMngr") {
    if (row.id == "DriveSettings") {
      rows = testing::RowXml("HideDrive", "1") + rows;
    } else {
      rows += testing::RowXml("DriveSettings", std::string(26, '1'));
    }
  }
  if (!row.form.empty()) {
    rows = "<" + std::string(row.form) + ">" + rows + "</" + std::string(row.form) + ">";
  }
  return "<" + std::string(section.name) + ">" + rows + "</" + std::string(section.name) + ">";
}

// Applies the document's section through its legacy applier.
void Apply(SectionContext& ctx, const SectionRows& section, const xml::Document& doc) {
  const std::string at = "DocRoot/Configuration/" + std::string(section.name) + "/";
  const auto rows = [&](const std::string& path) { return doc.selectNodes(at + path); };
  const std::string name(section.name);
  if (name == "SysMngr") mod::GetXMLSysMngr(ctx, rows("Row"), kComponentKey);
  if (name == "WindowShell") mod::GetXMLWindowShell(ctx, rows("Row"));
  if (name == "StartMenu") mod::GetXMLStartMenu(ctx, rows("WinXP/Row"), rows("WinOriginal/Row"));
  if (name == "FolderSet") mod::GetXMLFolderSet(ctx, rows("Row"));
  if (name == "DisplayConfig") mod::GetXMLDisplay(ctx, rows("Row"), rows("DisplayList"));
  if (name == "DiskMngr") mod::GetXMLDiskMngr(ctx, rows("Row"));
  if (name == "ControlMngr") mod::GetXMLControlMngr(ctx, rows("CPLList"), rows("Row"));
  if (name == "DisplayControl") mod::GetXMLDisplayControl(ctx, rows("Row"));
  if (name == "NPConfig") mod::GetXMLNPConfig(ctx, rows("Row"));
  if (name == "Appwiz") mod::GetXMLAppwiz(ctx, rows("AppList"), rows("Row"));
  if (name == "IExConfig") mod::GetXMLIExConfig(ctx, rows("Row"), rows("ExConfig"));
  if (name == "InternetOption") {
    mod::GetXMLInternetOption(ctx, rows("General/Row"), rows("Preservation/Row"), rows("Link/Row"));
  }
  if (name == "FileOrder") mod::GetXMLFileOrder(ctx, rows("Row"));
}

std::vector<const SectionRows*> LegacySections() {
  std::vector<const SectionRows*> legacy;
  for (const SectionRows* section : AllSectionRows()) {
    if (section->document == CompositionOf(DocumentKind::kLegacy).name) legacy.push_back(section);
  }
  return legacy;
}

// True when applying the body failed: raised to the caller, or logged by SysMngr itself.
bool Fails(LegacyRowsMachine& pc, const SectionRows& section, const std::string& body) {
  const std::size_t logged = pc.LogText().size();
  try {
    Apply(pc.ctx(), section, testing::LoadDocument(body));
  } catch (...) {
    return true;
  }
  return pc.LogText().find("[err:", logged) != std::string::npos;
}

TEST(LegacyRowCatalogue, ANonNumberStopsTheApplierExactlyWhereTheCatalogueSaysANumberIsNeeded) {
  LegacyRowsMachine pc;
  ASSERT_EQ(LegacySections().size(), 13u);
  for (const SectionRows* section : LegacySections()) {
    for (const RowSpec& row : section->rows) {
      for (const std::string& value :
           std::vector<std::string>{"abc", "70000", "1", std::string(26, '0')}) {
        const bool failed = Fails(pc, *section, Body(*section, row, value));
        const bool needed = row.need != ValueNeed::kAnything && !MeetsNeed(row.need, value);
        EXPECT_EQ(failed, needed) << section->name << " " << row.form << "/" << row.id
                                  << " Value \"" << value << "\": the catalogue says "
                                  << (needed ? "" : "no ") << "failure, the applier "
                                  << (failed ? "failed" : "did not fail");
      }
    }
  }
}

// Two values of the row that should leave the PC differently.
std::pair<std::string, std::string> TwoValues(const RowSpec& row) {
  if (!row.values[0].meaning.empty() && !row.values[1].meaning.empty()) {
    return {std::string(row.values[0].value), std::string(row.values[1].value)};
  }
  if (row.need == ValueNeed::kDriveText) return {std::string(26, '1'), std::string(26, '0')};
  return {"C:\\One", "C:\\Two"};
}

TEST(LegacyRowCatalogue, EveryCataloguedRowIsOneItsApplierActsOn) {
  LegacyRowsMachine pc;
  for (const SectionRows* section : LegacySections()) {
    for (const RowSpec& row : section->rows) {
      const auto [first, second] = TwoValues(row);
      ASSERT_FALSE(Fails(pc, *section, Body(*section, row, first))) << row.id;
      const std::string afterFirst = pc.Values();
      ASSERT_FALSE(Fails(pc, *section, Body(*section, row, second))) << row.id;
      EXPECT_NE(afterFirst, pc.Values())
          << section->name << " " << row.form << "/" << row.id << ": Values \"" << first
          << "\" and \"" << second << "\" leave the PC the same, as an unknown row would";
    }
  }
}

}  // namespace
}  // namespace dav::catalogue
