// The rows of the legacy document's SysMngr, WindowShell, FolderSet and DisplayConfig
// sections (applied in legacy_system_sections.cpp). These appliers compare Values as text:
// no Value stops them, only a row without its ID or Value.
#include "catalogue/row_catalogue.h"

namespace dav::catalogue {
namespace {

using enum ValueNeed;

constexpr std::string_view kDocument = "DavIrizevez";

// "1" switches the setting on; any other Value switches it off.
constexpr RowSpec OneOn(std::string_view id, std::string_view effect, std::string_view on,
                        std::string_view off) {
  return {{}, id, effect, kAnything, {{{"1", on}, {"0", off}}}, off};
}

constexpr RowSpec kSysMngr[] = {
    OneOn("CmdPrompt",
          "Blocks the command prompt (policy DisableCMD in HKCU and HKLM); an open one is closed.",
          "blocked", "allowed (0 is written)"),
    OneOn("Document",
          "Whether the client opens the automatic document address (EnableAutoDocumentURL in the "
          "component's key).",
          "opened", "not opened"),
    OneOn("TaskManager",
          "Blocks the task manager (policy DisableTaskMgr in both hives); an open one is closed.",
          "blocked", "allowed (0 is written)"),
    OneOn("NumLockStatus", "Num Lock at log-on (InitialKeyboardIndicators in HKCU).", "on",
          "left to Windows (the value is deleted)"),
    OneOn("RegEdition",
          "Blocks the registry editor (policy DisableRegistryTools in both hives); an open one is "
          "closed.",
          "blocked", "allowed (0 is written)"),
};

constexpr RowSpec kWindowShell[] = {
    OneOn("NoSaveSetting", "Whether window settings are saved at log-off (policy NoSaveSettings).",
          "not saved", "saved"),
    OneOn("HideFileExtension", "Hides the extensions of known file types (Advanced HideFileExt).",
          "hidden", "shown"),
    OneOn("WindowViewState", "How folders show (Advanced ClassicViewState).",
          "the web view (ClassicViewState 0)", "the classic view (ClassicViewState 1)"),
    OneOn("NoPropertiesMyComputer",
          "Blocks the My Computer properties (policy NoPropertiesMyComputer in both hives); an "
          "open System Properties window is closed.",
          "blocked", "allowed (the policy is deleted)"),
    OneOn("ClassicViewState", "Blocks the folder options (policy NoFolderOptions in HKCU).",
          "blocked", "allowed (the policy is deleted)"),
};

// A special folder: the Value, a path, is written as it stands.
constexpr RowSpec Folder(std::string_view id, std::string_view effect) {
  return {{}, id, effect, kAnything, {}, {}};
}

constexpr RowSpec kFolderSet[] = {
    Folder("DeskTop", "The desktop folder (Shell Folders and User Shell Folders \"Desktop\")."),
    Folder("MyDocuments", "My Documents (\"Personal\")."),
    Folder("MyPictures", "My Pictures (\"My Pictures\")."),
    Folder("ProgramFiles", "The program files folder (HKLM ProgramFilesDir only)."),
    Folder("StartMenu", "The start menu folder (\"Start Menu\")."),
    Folder("Application", "The start menu's programs folder (\"Programs\")."),
    Folder("StartProgram", "The start-up folder (\"Startup\")."),
    Folder("RecentDocument", "Recent documents (\"Recent\")."),
    Folder("DocuTemplate", "Document templates (\"Templates\")."),
    Folder("Fonts", "The fonts folder (\"Fonts\")."),
    Folder("Favorites", "The browser's favourites (\"Favorites\")."),
    Folder("OpenPageList", "The browser's history (\"History\")."),
    Folder("Sendto", "The Send To menu's folder (\"SendTo\")."),
    Folder("WindowSetupFolder", "Where Windows set-up files lie (HKLM Setup SourcePath only)."),
    OneOn("ProhibitMyDocuFolder",
          "Blocks moving My Documents (policy DisablePersonalDirChange in HKCU).", "blocked",
          "allowed (the policy is deleted)"),
};

constexpr RowSpec kDisplayConfig[] = {
    {{},
     "FastLinkView",
     "The arrow on shortcuts (lnkfile IsShortcut).",
     kAnything,
     {{{"0", "shown"}, {"1", "hidden"}}},
     "hidden"},
    {{},
     "URLView",
     "The arrow on Internet shortcuts (InternetShortcut IsShortcut).",
     kAnything,
     {{{"0", "shown"}, {"1", "hidden"}}},
     "hidden"},
    OneOn("WordsView", "The \"Shortcut to\" prefix of new shortcuts' names (Explorer link).",
          "left off", "kept"),
    {{},
     "RebootDisplay",
     "Kept as the client value RebootDisplay: whether the display mode is put back at each "
     "start.",
     kAnything,
     {{{"1", "put back"}, {"0", "left as it is"}}},
     {}},
};

}  // namespace

const SectionRows& SysMngrRows() {
  static const SectionRows section{
      "SysMngr",
      kDocument,
      "GetXMLSysMngr",
      {},
      "The command prompt, task manager and registry editor, Num Lock at log-on, and the "
      "automatic document address. The applier logs its own failure.",
      {},
      true,
      kSysMngr};
  return section;
}

const SectionRows& WindowShellRows() {
  static const SectionRows section{"WindowShell",
                                   kDocument,
                                   "GetXMLWindowShell",
                                   {},
                                   "Window settings, file extensions, the folder view, My "
                                   "Computer's properties and the folder options.",
                                   {},
                                   true,
                                   kWindowShell};
  return section;
}

const SectionRows& FolderSetRows() {
  static const SectionRows section{
      "FolderSet",
      kDocument,
      "GetXMLFolderSet",
      {},
      "Where the user's special folders lie: each Value is written to the current user's Shell "
      "Folders and User Shell Folders, unless its row names another place.",
      {},
      true,
      kFolderSet};
  return section;
}

const SectionRows& DisplayConfigRows() {
  static const SectionRows section{
      "DisplayConfig",
      kDocument,
      "GetXMLDisplay",
      {},
      "Shortcut arrows, the prefix of new shortcuts' names, and the display mode.",
      "DisplayList DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" Hz=\"60 Hz\": the display "
      "mode, set when the document is applied as the window setting (not at manager log-in or "
      "log-off).",
      true,
      kDisplayConfig};
  return section;
}

}  // namespace dav::catalogue
