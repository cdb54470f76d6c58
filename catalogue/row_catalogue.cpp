#include "catalogue/row_catalogue.h"

#include <array>

#include "catalogue/document_conventions.h"
#include "catalogue/drive_text.h"
#include "util/conversions.h"

namespace dav::catalogue {
namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  return LowerId(a) == LowerId(b);
}

}  // namespace

Generation GenerationOf(const RowSpec& row) {
  if (row.form == "WinXP" || row.form == "WinOriginal") return Generation::kWinXP;
  if (row.form == "Win7") return Generation::kWin7;
  return Generation::kBoth;
}

std::string_view GenerationName(Generation generation) {
  switch (generation) {
    case Generation::kWinXP:
      return "XP";
    case Generation::kWin7:
      return "7";
    case Generation::kBoth:
      break;
  }
  return "both";
}

std::span<const SectionRows* const> AllSectionRows() {
  static const std::array<const SectionRows*, 20> all = {
      &StartMenuRows(),   &WinSkillRows(),          &ExplorerConfigRows(), &FileOptRows(),
      &ControlMngrRows(), &UsedAccessRows(),        &FolderAccessRows(),   &SysMngrRows(),
      &WindowShellRows(), &LegacyStartMenuRows(),   &FolderSetRows(),      &DisplayConfigRows(),
      &DiskMngrRows(),    &LegacyControlMngrRows(), &DisplayControlRows(), &NPConfigRows(),
      &AppwizRows(),      &IExConfigRows(),         &InternetOptionRows(), &FileOrderRows()};
  return all;
}

const SectionRows* FindSectionRows(std::string_view name) {
  for (const SectionRows* section : AllSectionRows()) {
    if (section->name == name) return section;
  }
  return nullptr;
}

const SectionRows* FindSectionRows(std::string_view name, std::string_view document) {
  for (const SectionRows* section : AllSectionRows()) {
    if (section->name == name && section->document == document) return section;
  }
  return nullptr;
}

const RowSpec* FindRow(const SectionRows& section, std::string_view form, std::string_view id) {
  for (const RowSpec& row : section.rows) {
    if (row.form == form && SameLetters(row.id, id)) return &row;
  }
  return nullptr;
}

const ValueMeaning* FindValue(const RowSpec& row, std::string_view value) {
  for (const ValueMeaning& known : row.values) {
    if (!known.meaning.empty() && known.value == value) return &known;
  }
  return nullptr;
}

bool MeetsNeed(ValueNeed need, std::string_view value) {
  try {
    if (need == ValueNeed::kNumber) util::ToLong(value);
    if (need == ValueNeed::kSmallNumber) util::ToInteger(value);
    if (need == ValueNeed::kDriveText) DriveMask(value);
  } catch (...) {
    return false;
  }
  return true;
}

}  // namespace dav::catalogue
