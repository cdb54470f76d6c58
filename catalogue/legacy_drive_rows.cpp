// The rows of the legacy document's DiskMngr, DisplayControl, NPConfig and Appwiz sections
// (applied in legacy_drive_sections.cpp).
#include "catalogue/row_catalogue.h"

namespace dav::catalogue {
namespace {

using enum ValueNeed;

constexpr std::string_view kDocument = "DavIrizevez";
constexpr std::string_view kAsIs = "any other number: written as it is (not 0 locks)";

constexpr RowSpec kDiskMngr[] = {
    {{},
     "HideDrive",
     "Whether the following DriveSettings row hides its drives (policy NoDrives in HKLM). Must "
     "come before DriveSettings.",
     kNumber,
     {{{"1", "DriveSettings hides the drives"}, {"0", "no drive is hidden"}}},
     "any other number: no drive is hidden"},
    {{},
     "NoAdmissionDrive",
     "Whether the following DriveSettings row blocks access to its drives (policy "
     "NoViewOnDrive in HKLM). Must come before DriveSettings.",
     kNumber,
     {{{"1", "DriveSettings blocks access"}, {"0", "no drive is blocked"}}},
     "any other number: no drive is blocked"},
    {{},
     "DriveSettings",
     "The drives HideDrive and NoAdmissionDrive name: 26 digits, A: first, \"1\" for a drive "
     "named.",
     kDriveText,
     {},
     {}},
    {{},
     "AutorunUse",
     "Autorun of inserted media (policy NoDriveTypeAutoRun in HKLM).",
     kAnything,
     {{{"1", "on (0 is written)"}, {"0", "off for every drive type (255 is written)"}}},
     "off for every drive type"},
    {{},
     "NetworkDriveSet",
     "Blocks mapping and disconnecting network drives (policy NoNetConnectDisconnect in HKLM).",
     kAnything,
     {{{"1", "blocked"}, {"0", "allowed (the policy is deleted)"}}},
     "allowed (the policy is deleted)"},
};

// A page lock: the Value, a number, is written as a DWORD.
constexpr RowSpec Locked(std::string_view id, std::string_view effect) {
  return {{}, id, effect, kNumber, {{{"1", "locked"}, {"0", "usable"}}}, kAsIs};
}

constexpr RowSpec kDisplayControl[] = {
    Locked("NoThemeChange", "The Themes page (policy NoThemesTab, HKCU and HKLM)."),
    Locked("NoBgImgChange", "The Desktop background page (NoDispBackgroundPage, both hives)."),
    Locked("NoScreenSaverChange", "The Screen Saver page (NoDispScrSavPage, both hives)."),
    Locked("NoBgColorChange", "The Appearance page (NoDispAppearancePage, both hives)."),
    Locked("NoConfigPageChange", "The Settings page (NoDispSettingsPage, both hives)."),
};

constexpr RowSpec kNPConfig[] = {
    Locked("NetworkIconDel", "Hides the network neighbourhood icon (policy NoNetHood in HKLM)."),
    Locked("NoPrinterDriverInsert", "Blocks adding printers (policy NoAddPrinter in HKCU)."),
    Locked("NoPrinterDriverDel", "Blocks deleting printers (policy NoDeletePrinter in HKCU)."),
};

// An Add/Remove Programs page: 1 locks it, any other number frees it.
constexpr RowSpec Page(std::string_view id, std::string_view effect) {
  return {{},
          id,
          effect,
          kNumber,
          {{{"1", "locked"}, {"0", "usable"}}},
          "any other number: usable (0 is written)"};
}

constexpr RowSpec kAppwiz[] = {
    Page("NoRemovePage", "The Change or Remove Programs page (Uninstall policy, both hives)."),
    Page("NoAddPage", "The Add New Programs page (Uninstall policy, both hives)."),
    Page("NoWindowsSetupPage", "The Windows Components page (Uninstall policy, both hives)."),
};

}  // namespace

const SectionRows& DiskMngrRows() {
  static const SectionRows section{"DiskMngr",
                                   kDocument,
                                   "GetXMLDiskMngr",
                                   {},
                                   "Hidden and locked drives, autorun, and mapping network drives.",
                                   {},
                                   true,
                                   kDiskMngr};
  return section;
}

const SectionRows& DisplayControlRows() {
  static const SectionRows section{"DisplayControl",
                                   kDocument,
                                   "GetXMLDisplayControl",
                                   {},
                                   "Which pages of the display control panel may be used.",
                                   {},
                                   true,
                                   kDisplayControl};
  return section;
}

const SectionRows& NPConfigRows() {
  static const SectionRows section{
      "NPConfig",
      kDocument,
      "GetXMLNPConfig",
      {},
      "The network neighbourhood icon, and adding and deleting printers.",
      {},
      true,
      kNPConfig};
  return section;
}

const SectionRows& AppwizRows() {
  static const SectionRows section{
      "Appwiz",
      kDocument,
      "GetXMLAppwiz",
      {},
      "Which installed programs Add/Remove Programs lists, and which of its pages may be used.",
      "AppList ID=\"<the program's UnInstall sub-key>\" DisplayName=\"...\" Value=\"1\" before "
      "the rows: 1 lists the program, any other number hides it (SystemComponent); a Value "
      "that is no number ends the applier.",
      true,
      kAppwiz};
  return section;
}

}  // namespace dav::catalogue
