// The rows of the UsedAccess and FolderAccess sections (applied in access.cpp and
// folder_access.cpp).
#include "catalogue/row_catalogue.h"

namespace dav::catalogue {
namespace {

using enum ValueNeed;

constexpr std::string_view kOff = "any other number: allowed (0 is written)";

constexpr RowSpec kUsedAccess[] = {
    {{},
     "CmdPrompt",
     "Blocks the command prompt (policy DisableCMD in HKCU and HKLM); an open one is closed.",
     kNumber,
     {{{"1", "blocked"}, {"0", "allowed"}}},
     kOff},
    {{},
     "RegEdition",
     "Blocks the registry editor (policy DisableRegistryTools in both hives); an open one is "
     "closed.",
     kNumber,
     {{{"1", "blocked"}, {"0", "allowed"}}},
     kOff},
    {{},
     "TaskManager",
     "Blocks the task manager (policy DisableTaskMgr in both hives); an open one is closed.",
     kNumber,
     {{{"1", "blocked"}, {"0", "allowed"}}},
     kOff},
    {{},
     "NoPropertiesMyComputer",
     "Blocks the My Computer properties (policy NoPropertiesMyComputer in both hives); an open "
     "System Properties window is closed.",
     kNumber,
     {{{"1", "blocked"}, {"0", "allowed (the policy is deleted)"}}},
     "any other number: allowed (the policy is deleted)"},
    {{},
     "ClassicViewState",
     "Blocks the folder options (policy NoFolderOptions in HKCU).",
     kNumber,
     {{{"1", "blocked"}, {"0", "allowed (the policy is deleted)"}}},
     "any other number: allowed (the policy is deleted)"},
    {{},
     "NoViewOnDrive",
     "Whether the following DriveSettings row blocks access to its drives (policy "
     "NoViewOnDrive in HKLM). Must come before DriveSettings.",
     kAnything,
     {{{"1", "DriveSettings blocks access"}, {"0", "no drive is blocked"}}},
     "no drive is blocked"},
    {{},
     "NoDrives",
     "Whether the following DriveSettings row hides its drives (policy NoDrives in HKLM). Must "
     "come before DriveSettings.",
     kNumber,
     {{{"1", "DriveSettings hides the drives"}, {"0", "no drive is hidden"}}},
     "any other number: no drive is hidden"},
    {{},
     "DriveSettings",
     "The drives that NoDrives and NoViewOnDrive name: 26 characters, A: first, \"1\" for a "
     "drive in the mask (\"00100000000000000000000000\" is C: alone).",
     kDriveText,
     {},
     {}},
    {{},
     "Display",
     "Hides the display control panel's pages (NoThemesTab, NoDispBackgroundPage, "
     "NoDispScrSavPage, NoDispAppearancePage, NoDispSettingsPage).",
     kNumber,
     {{{"1", "hidden"}, {"0", "shown"}}},
     "the number is written to all five values"},
};

constexpr RowSpec kFolderAccess[] = {
    {{},
     "FolderAccess",
     "Blocks the protected folders (qrlSysConfig.ini, [setting] 0, Base64), for the folder "
     "protection.",
     kAnything,
     {{{"1", "blocked"}, {"0", "not blocked"}}},
     "stored as it is"},
    {{},
     "LowAccess",
     "Blocks the protected folders' sub-folders as well (qrlSysConfig.ini, [setting] 1).",
     kAnything,
     {{{"1", "blocked"}, {"0", "not blocked"}}},
     "stored as it is"},
    {{},
     "Path",
     "The protected folders, joined with \"|\"; replaces every stored path (qrlSysConfig.ini, "
     "[value] 0, 1, 2 ...).",
     kAnything,
     {},
     {}},
};

}  // namespace

const SectionRows& UsedAccessRows() {
  static const SectionRows section{"UsedAccess",
                                   "SysConfig",
                                   "GetXMLUsedAccess",
                                   "XMLStringUsedAccess",
                                   "Which system tools the user may use, as policy values.",
                                   {},
                                   true,
                                   kUsedAccess};
  return section;
}

const SectionRows& FolderAccessRows() {
  static const SectionRows section{
      "FolderAccess",
      "SysConfig",
      "GetXMLFolderAccess",
      "XMLStringFolderAccess",
      "The folder protection's settings and protected paths, kept in qrlSysConfig.ini. Not "
      "applied when the saved document is re-applied at log-off.",
      {},
      true,
      kFolderAccess};
  return section;
}

}  // namespace dav::catalogue
