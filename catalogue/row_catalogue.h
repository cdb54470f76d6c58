// The rows of every section, described once as data: what each row does on the PC, the
// values a document gives it and what each means, what any other value is taken as, and
// whether its applier needs a number there. Each section's table lives beside its applier
// and producer (access_rows.cpp, start_menu_rows.cpp ...); "davhost doc reference" prints
// them, the document linter checks documents against them, and the catalogue tests hold
// them to what the producers write and the appliers do.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace dav::catalogue {

struct ValueMeaning {
  std::string_view value;  // "1"
  std::string_view meaning;
};

// What a Value must be for the applier to get past the row.
enum class ValueNeed {
  kAnything,     // any text is applied (or ignored) without a failure
  kNumber,       // a decimal 32-bit number; anything else ends the section's applier
  kSmallNumber,  // a decimal 16-bit number; anything else ends the section's applier
  kDriveText,    // 26 digits, A: first; anything shorter or not a digit ends the applier
};

struct RowSpec {
  // The sub-section the row sits in ("WinXP", "WinOriginal", "Win7"), empty for a row
  // directly in the section.
  std::string_view form;
  std::string_view id;      // as producers write it; documents may use any letter case
  std::string_view effect;  // what the row does on the PC
  ValueNeed need = ValueNeed::kAnything;
  std::array<ValueMeaning, 3> values = {};  // the values a document normally holds
  // What any value not listed above is taken as; empty when the row takes free text.
  std::string_view otherValues = {};
};

// Which Windows generation applies a row: its form decides (WinXP and WinOriginal: XP,
// Win7: 7); rows outside a form apply on both.
enum class Generation { kBoth, kWinXP, kWin7 };
Generation GenerationOf(const RowSpec& row);
std::string_view GenerationName(Generation generation);  // "both", "XP", "7"

struct SectionRows {
  std::string_view name;      // "UsedAccess"
  std::string_view document;  // "SysConfig"
  std::string_view applier;   // "GetXMLUsedAccess"
  std::string_view producer;  // "XMLStringUsedAccess"
  std::string_view summary;
  // Elements other than Row (DisplayList, CPLList, section attributes), in words.
  std::string_view otherElements;
  // True when the applier ends at the first failing row; the rows after it are then not
  // applied.
  bool stopsAtFailure = true;
  std::span<const RowSpec> rows;
};

// The tables, one per section, each defined beside its section's applier.
const SectionRows& StartMenuRows();
const SectionRows& WinSkillRows();
const SectionRows& ExplorerConfigRows();
const SectionRows& FileOptRows();
const SectionRows& ControlMngrRows();
const SectionRows& UsedAccessRows();
const SectionRows& FolderAccessRows();
// The legacy document's sections.
const SectionRows& SysMngrRows();
const SectionRows& WindowShellRows();
const SectionRows& LegacyStartMenuRows();
const SectionRows& FolderSetRows();
const SectionRows& DisplayConfigRows();
const SectionRows& DiskMngrRows();
const SectionRows& LegacyControlMngrRows();
const SectionRows& DisplayControlRows();
const SectionRows& NPConfigRows();
const SectionRows& AppwizRows();
const SectionRows& IExConfigRows();
const SectionRows& InternetOptionRows();
const SectionRows& FileOrderRows();

// Every catalogued section, in document order (WinConfig, SysConfig, then the legacy
// document).
std::span<const SectionRows* const> AllSectionRows();

// The first section of that name (exact case, as element names are); nullptr when unknown.
const SectionRows* FindSectionRows(std::string_view name);

// The section of that name in the document of that name ("WinConfig", "SysConfig",
// "DavIrizevez"); nullptr when that document has no such catalogued section.
const SectionRows* FindSectionRows(std::string_view name, std::string_view document);

// The row of that form and identifier, the identifier compared without regard to case;
// nullptr when the section has no such row.
const RowSpec* FindRow(const SectionRows& section, std::string_view form, std::string_view id);

// The row's meaning of that exact value; nullptr when the value is not one of its listed
// values.
const ValueMeaning* FindValue(const RowSpec& row, std::string_view value);

// Whether the Value gets past the row's need (the same conversions the appliers use).
bool MeetsNeed(ValueNeed need, std::string_view value);

}  // namespace dav::catalogue
