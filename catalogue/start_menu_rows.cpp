// The rows of the StartMenu section (applied in start_menu.cpp). "Advanced" is HKCU
// ...\Explorer\Advanced, "policy" HKCU ...\Policies\Explorer; Values are the DWORDs' decimal
// texts, so a policy's "1" hides its item even where the row's name ends in "View".
#include "catalogue/row_catalogue.h"

#include <vector>

namespace dav::catalogue {
namespace {

using enum ValueNeed;

constexpr std::string_view kAsIs = "any other number: written as it is";

// A start menu option in Advanced: 1 shows the item.
constexpr RowSpec Shown(std::string_view form, std::string_view id, std::string_view effect) {
  return {form, id, effect, kNumber, {{{"1", "shown"}, {"0", "hidden"}}}, kAsIs};
}

// A policy: 1 hides the item; "0" deletes the policy.
constexpr RowSpec Hidden(std::string_view form, std::string_view id, std::string_view effect) {
  return {form, id, effect, kNumber, {{{"1", "hidden"}, {"0", "shown (the policy is deleted)"}}},
          kAsIs};
}

// A shell folder shortcut inside the start menu folder; the Value is kept in the client key.
constexpr RowSpec Inserted(std::string_view id, std::string_view effect) {
  return {"WinOriginal",
          id,
          effect,
          kAnything,
          {{{"1", "the folder is inserted"}, {"0", "the folder is removed"}}},
          "the folder is removed"};
}

constexpr RowSpec kRows[] = {
    Shown("WinXP", "MyDocView", "My Documents (Advanced Start_ShowMyDocs)."),
    Hidden("WinXP", "MyLatelyDocView", "Recent documents (policy NoRecentDocsMenu)."),
    Shown("WinXP", "MyPictureView", "My Pictures (Advanced Start_ShowMyPics)."),
    Shown("WinXP", "MyMusicView", "My Music (Advanced Start_ShowMyMusic)."),
    Shown("WinXP", "MyComputerView", "My Computer (Advanced Start_ShowMyComputer)."),
    Shown("WinXP", "MyNetworkView", "My Network Places (Advanced Start_ShowNetPlaces)."),
    Shown("WinXP", "ControlView", "Control Panel (Advanced Start_ShowControlPanel)."),
    Shown("WinXP", "NetworkLinkView", "Network connections (Advanced Start_ShowNetConn)."),
    Shown("WinXP", "FavoritesView", "Favorites (Advanced StartMenuFavorites)."),
    Shown("WinXP", "SearchMenuView", "Search (Advanced Start_ShowSearch)."),
    {"WinXP",
     "ExecuteMenuView",
     "Run... (Advanced Start_ShowRun; policy NoRun is 0 for \"1\", 1 otherwise).",
     kNumber,
     {{{"1", "shown, Run allowed"}, {"0", "hidden, Run blocked"}}},
     "any other number: written as it is, Run blocked"},
    Shown("WinXP", "PrinterFaxMenuView", "Printers and Faxes (Advanced Start_ShowPrinters)."),
    Hidden("WinXP", "HelpMenuView", "Help and Support (policy NoSMHelp)."),
    Hidden("WinXP", "AllProMenuView", "All Programs (policy NoStartMenuMorePrograms)."),
    Hidden("WinXP", "UserNameMenuView", "The user's name (policy NoUserNameInStartMenu)."),
    Inserted("ControlInsert", "Control Panel as a folder in the classic start menu."),
    Inserted("WastebasketInsert", "Recycle Bin as a folder in the classic start menu."),
    Inserted("PrinterListInsert", "Printers as a folder in the classic start menu."),
    Inserted("NetworkingInsert", "Dial-up networking as a folder in the classic start menu."),
    Hidden("WinOriginal", "DocMenuDel", "Documents (policy NoRecentDocsMenu)."),
    Hidden("WinOriginal", "NoSearch", "Search (policy NoFind)."),
    Shown("WinOriginal", "ExecuteMenuDel", "Run... (Advanced StartMenuRun)."),
    Shown("WinOriginal", "FavoritesMenuDel", "Favorites (Advanced StartMenuFavorites)."),
    Hidden("WinOriginal", "HelpMenuDel", "Help (policy NoSMHelp)."),
    Shown("Win7", "User", "The user's folder (Advanced Start_ShowUser)."),
    Shown("Win7", "MyGames", "Games (Advanced Start_ShowMyGames)."),
    Shown("Win7", "RecordedTV", "Recorded TV (Advanced Start_ShowRecordedTV)."),
    Shown("Win7", "Downloads", "Downloads (Advanced Start_ShowDownloads)."),
    Shown("Win7", "MyDocs", "Documents (Advanced Start_ShowMyDocs)."),
    Shown("Win7", "Videos", "Videos (Advanced Start_ShowVideos)."),
    Shown("Win7", "MyPics", "Pictures (Advanced Start_ShowMyPics)."),
    Shown("Win7", "MyMusic", "Music (Advanced Start_ShowMyMusic)."),
    Shown("Win7", "ControlPanel", "Control Panel (Advanced Start_ShowControlPanel)."),
    Shown("Win7", "MyComputer", "Computer (Advanced Start_ShowMyComputer)."),
    {"Win7",
     "SysAdminTools",
     "Administrative tools (Advanced Start_AdminToolsRoot and StartMenuAdminTools).",
     kAnything,
     {{{"2", "in the menu and under All Programs"},
       {"1", "under All Programs only"},
       {"0", "hidden"}}},
     "hidden"},
    Shown("Win7", "DefaultProgram",
          "Default Programs (Advanced Start_ShowSetProgramAccessAndDefaults)."),
    Shown("Win7", "NetPlaces", "Network (Advanced Start_ShowNetPlaces)."),
    Shown("Win7", "Help", "Help and Support (Advanced Start_ShowHelp)."),
    {"Win7",
     "Run",
     "Run... (Advanced Start_ShowRun; policy NoRun is 0 for \"1\", 1 otherwise).",
     kNumber,
     {{{"1", "shown, Run allowed"}, {"0", "hidden, Run blocked"}}},
     "any other number: written as it is, Run blocked"},
    Shown("Win7", "NetConn", "Connect To (Advanced Start_ShowNetConn)."),
    Shown("Win7", "Printers", "Devices and Printers (Advanced Start_ShowPrinters)."),
    Shown("Win7", "Favorites", "Favorites (Advanced StartMenuFavorites)."),
    Shown("Win7", "RecentDocs", "Recent items (Advanced Start_ShowRecentDocs)."),
    Shown("Win7", "HomeGroup", "Homegroup (Advanced Start_ShowHomegroup)."),
    {"Win7",
     "Logoff",
     "Log off in the start menu (policy StartMenuLogoff).",
     kNumber,
     {{{"1", "hidden"}, {"0", "shown"}}},
     kAsIs},
};

}  // namespace

const SectionRows& StartMenuRows() {
  static const SectionRows section{
      "StartMenu",
      "WinConfig",
      "GetXMLStartMenu_WinXP / GetXMLStartMenu_Win7",
      "XMLStringStartMenu",
      "Which items the start menu shows. WinXP and WinOriginal rows apply on Windows XP, Win7 "
      "rows on Windows 7; the other generation's rows are not applied.",
      {},
      true,
      kRows};
  return section;
}

const SectionRows& LegacyStartMenuRows() {
  // The legacy document holds the WinXP and WinOriginal forms only, applied as on Windows XP.
  static const std::vector<RowSpec> rows = [] {
    std::vector<RowSpec> xp;
    for (const RowSpec& row : kRows) {
      if (row.form == "WinXP" || row.form == "WinOriginal") xp.push_back(row);
    }
    return xp;
  }();
  static const SectionRows section{
      "StartMenu",
      "DavIrizevez",
      "GetXMLStartMenu (manager log-in) / GetXMLStartMenu_WinXP",
      {},
      "Which items the start menu shows, in the WinXP and WinOriginal forms whatever the PC's "
      "generation. At manager log-in a policy row's \"0\" writes 0 instead of deleting the "
      "policy.",
      {},
      true,
      rows};
  return section;
}

}  // namespace dav::catalogue
