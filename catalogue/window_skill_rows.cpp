// The rows of the WinSkill, ExplorerConfig and FileOpt sections (applied in
// window_skill.cpp). "Client" is the component's key HKLM Software\quorel\brisal client.
#include "catalogue/row_catalogue.h"

namespace dav::catalogue {
namespace {

using enum ValueNeed;

constexpr RowSpec kWinSkill[] = {
    {{},
     "RebootDisplay",
     "Whether the display mode is set again at every start (client RebootDisplay).",
     kAnything,
     {{{"1", "set at every start"}, {"0", "not set at start"}}},
     "not set at start"},
    {{},
     "NumLockStatus",
     "Num Lock on at log-on (HKCU Control Panel\\Keyboard InitialKeyboardIndicators \"2\").",
     kAnything,
     {{{"1", "on"}, {"0", "left to Windows (the value is deleted)"}}},
     "left to Windows (the value is deleted)"},
    {{},
     "NetworkDriveSet",
     "Blocks mapping and disconnecting network drives (policy NoNetConnectDisconnect in HKLM).",
     kAnything,
     {{{"1", "blocked"}, {"0", "allowed (the policy is deleted)"}}},
     "allowed (the policy is deleted)"},
    {{},
     "NetworkIconDel",
     "Hides the network neighbourhood icon (policy NoNetHood in HKLM).",
     kNumber,
     {{{"1", "hidden"}, {"0", "shown"}}},
     "any other number: written as it is"},
    {{},
     "NoPrinterDriverDel",
     "Blocks deleting printers (policy NoDeletePrinter in HKCU).",
     kNumber,
     {{{"1", "blocked"}, {"0", "allowed"}}},
     "any other number: written as it is"},
};

constexpr RowSpec kExplorerConfig[] = {
    {{},
     "TitleBar",
     "Sets the browser's window title to the section's TitleBar attribute (HKCU Internet "
     "Explorer\\Main Window Title).",
     kAnything,
     {{{"1", "the TitleBar attribute is written"},
       {"0", "the browser's own title (the value is deleted)"}}},
     "the TitleBar attribute is written"},
    {{},
     "DownFolder",
     "Sets the browser's download folder to the section's DownFolder attribute (HKCU Internet "
     "Explorer Download Directory).",
     kAnything,
     {{{"1", "the DownFolder attribute is written"},
       {"0", "the browser's own choice (an empty folder)"}}},
     "the DownFolder attribute is written"},
    {{},
     "IEOpt",
     "Locks the browser option tabs (the seven ...Tab policies under HKCU Software\\Policies\\"
     "Microsoft\\Internet Explorer\\Control Panel).",
     kNumber,
     {{{"1", "locked"}, {"0", "unlocked"}}},
     "any other number: written as it is"},
};

constexpr std::string_view kCleaned = "not cleaned";

constexpr RowSpec CleanUp(std::string_view id, std::string_view effect) {
  return {{}, id, effect, kAnything, {{{"1", "cleaned"}, {"0", "not cleaned"}}}, kCleaned};
}

constexpr RowSpec kFileOpt[] = {
    {{},
     "RebootWinOpt",
     "Whether the clean-ups below run again at every start (client RebootWinOpt).",
     kAnything,
     {{{"1", "at every start too"}, {"0", "now only"}}},
     "at every start too"},
    CleanUp("Garbage", "Empties the recycle bin (asks the host: APL_GARBAGE)."),
    CleanUp("TempFile", "Deletes temporary Internet files (APL_TEMPFILE)."),
    CleanUp("TempFolder", "Empties the temporary folder (APL_TEMPFOLDER)."),
    CleanUp("Cookie", "Deletes cookies, with the temporary Internet files (APL_TEMPFILE)."),
    CleanUp("History", "Clears the browser history (APL_HISTORY)."),
    CleanUp("Doc", "Clears the recent documents (APL_DOC)."),
};

}  // namespace

const SectionRows& WinSkillRows() {
  static const SectionRows section{
      "WinSkill",
      "WinConfig",
      "GetXMLWinSkill",
      "XMLStringWinSkill",
      "Num Lock, network drives and icon, printers, and the display mode to keep.",
      "DisplayList DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" Hz=\"60 Hz\": the display mode "
      "set after the document is applied (the last one wins); it must name a mode with numbers, "
      "or the applier ends.",
      true,
      kWinSkill};
  return section;
}

const SectionRows& ExplorerConfigRows() {
  static const SectionRows section{
      "ExplorerConfig",
      "WinConfig",
      "GetXMLExplorerConfig",
      "XMLStringWinSkill",
      "The browser's window title, download folder and option tabs.",
      "Attributes TitleBar and DownFolder of the section: the title and the folder the rows of "
      "those names write.",
      true,
      kExplorerConfig};
  return section;
}

const SectionRows& FileOptRows() {
  static const SectionRows section{
      "FileOpt",
      "WinConfig",
      "GetXMLFileOpt",
      "XMLStringWinSkill",
      "Which kinds of files are cleaned up now (notices to the host) and at every start.",
      {},
      true,
      kFileOpt};
  return section;
}

}  // namespace dav::catalogue
