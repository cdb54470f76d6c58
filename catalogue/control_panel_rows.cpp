// The rows of the ControlMngr section (applied in control_panel.cpp). The applets are
// CPLList elements, listed in control_panel_applets.cpp.
#include "catalogue/row_catalogue.h"

namespace dav::catalogue {
namespace {

constexpr RowSpec NoControlPanel(std::string_view form) {
  return {form,
          "NoControlPanel",
          "Blocks the control panel (policy NoControlPanel in HKLM); off also lifts "
          "NoSetFolders.",
          ValueNeed::kNumber,
          {{{"1", "blocked"}, {"0", "allowed"}}},
          "any other number: allowed"};
}

constexpr RowSpec kRows[] = {NoControlPanel("WinXP"), NoControlPanel("Win7")};

// The legacy document's form: rows and applets directly in the section, their Values read
// as 16-bit numbers.
constexpr RowSpec kLegacyRows[] = {
    {{},
     "NoControlPanel",
     "Blocks the control panel (policy NoControlPanel in HKLM); off also lifts NoSetFolders.",
     ValueNeed::kSmallNumber,
     {{{"1", "blocked"}, {"0", "allowed"}}},
     "any other number: allowed"}};

}  // namespace

const SectionRows& ControlMngrRows() {
  static const SectionRows section{
      "ControlMngr",
      "SysConfig",
      "GetXMLControlPanel",
      "XMLStringControlPanel",
      "Which control panel applets a user may open, and whether the control panel opens.",
      "CPLList ID=\"access.cpl\" DisplayName=\"...\" Value=\"1\" (WinXP: 1 usable, any other "
      "number hidden, a Value that is no number ends the applier; Win7, with Disabllowcpl: \"0\" "
      "hidden, anything else usable). Every row's ID is written as a policy value of that name.",
      true,
      kRows};
  return section;
}

const SectionRows& LegacyControlMngrRows() {
  static const SectionRows section{
      "ControlMngr",
      "DavIrizevez",
      "GetXMLControlMngr",
      {},
      "Which control panel applets a user may open, and whether the control panel opens; the "
      "Windows XP applets whatever the PC's generation.",
      "CPLList ID=\"access.cpl\" DisplayName=\"...\" Value=\"1\" directly in the section, "
      "before the rows: 1 usable, any other number hidden; a Value that is no number from "
      "-32768 to 32767 ends the applier. Every row's ID is written as a policy value of that "
      "name.",
      true,
      kLegacyRows};
  return section;
}

}  // namespace dav::catalogue
