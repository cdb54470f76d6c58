#include "catalogue/start_menu.h"

#include <cstdint>
#include <span>
#include <string_view>

#include "catalogue/document_conventions.h"
#include "catalogue/legacy_applier.h"
#include "catalogue/registry_places.h"
#include "platform/file_system.h"
#include "util/conversions.h"
#include "util/mod_main.h"
#include "util/procedure.h"
#include "util/run_time_error.h"

namespace dav::modDavIrizevez {
namespace {

using catalogue::kAdvancedKey;
using catalogue::kExplorerPolicies;
using catalogue::kSectionModule;
using catalogue::kShellFoldersKey;
using catalogue::SectionContext;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

enum class Store {
  kAdvanced,  // DWORD in HKCU ...\Explorer\Advanced
  kPolicies,  // DWORD in HKCU ...\Policies\Explorer
  kClient,    // text in the client key
};

enum class Action {
  kWrite,        // the Value as a DWORD
  kPolicy,       // the value deleted for "0" (the policy is off), else the Value as a DWORD
  kWriteAndRun,  // written, then the "NoRun" policy follows it
  kFolder,       // a shell folder inside the start menu folder; the Value kept as client text
  kAdminTools,   // two Advanced values from one Value
};

struct Item {
  std::string_view id;
  Store store;
  std::string_view name;
  std::int32_t fallback;  // produced when the value is missing, and for the other generation
  Action action;
  std::string_view folder = {};  // kFolder: the folder's name, "<display name>.<class id>"
};

constexpr Item kWinXPItems[] = {
    {"MyDocView", Store::kAdvanced, "Start_ShowMyDocs", 1, Action::kWrite},
    {"MyLatelyDocView", Store::kPolicies, "NoRecentDocsMenu", 0, Action::kPolicy},
    {"MyPictureView", Store::kAdvanced, "Start_ShowMyPics", 1, Action::kWrite},
    {"MyMusicView", Store::kAdvanced, "Start_ShowMyMusic", 1, Action::kWrite},
    {"MyComputerView", Store::kAdvanced, "Start_ShowMyComputer", 1, Action::kWrite},
    {"MyNetworkView", Store::kAdvanced, "Start_ShowNetPlaces", 0, Action::kWrite},
    {"ControlView", Store::kAdvanced, "Start_ShowControlPanel", 1, Action::kWrite},
    {"NetworkLinkView", Store::kAdvanced, "Start_ShowNetConn", 0, Action::kWrite},
    {"FavoritesView", Store::kAdvanced, "StartMenuFavorites", 0, Action::kWrite},
    {"SearchMenuView", Store::kAdvanced, "Start_ShowSearch", 1, Action::kWrite},
    {"ExecuteMenuView", Store::kAdvanced, "Start_ShowRun", 1, Action::kWriteAndRun},
    {"PrinterFaxMenuView", Store::kAdvanced, "Start_ShowPrinters", 1, Action::kWrite},
    {"HelpMenuView", Store::kPolicies, "NoSMHelp", 0, Action::kPolicy},
    {"AllProMenuView", Store::kPolicies, "NoStartMenuMorePrograms", 0, Action::kPolicy},
    {"UserNameMenuView", Store::kPolicies, "NoUserNameInStartMenu", 0, Action::kPolicy},
};

constexpr Item kWinOriginalItems[] = {
    {"ControlInsert", Store::kClient, "ControlInsert", 0, Action::kFolder,
     "\\제어판.{21EC2020-3AEA-1069-A2DD-08002B30309D}"},
    {"WastebasketInsert", Store::kClient, "WastebasketInsert", 0, Action::kFolder,
     "\\휴지통.{645FF040-5081-101B-9F08-00AA002F954E}"},
    {"PrinterListInsert", Store::kClient, "PrinterListInsert", 0, Action::kFolder,
     "\\프린터.{2227A280-3AEA-1069-A2DE-08002B30309D}"},
    {"NetworkingInsert", Store::kClient, "NetworkingInsert", 0, Action::kFolder,
     "\\전화접속 네트워킹.{992CFFA0-F557-101A-88EC-00DD010CCC48}"},
    {"DocMenuDel", Store::kPolicies, "NoRecentDocsMenu", 0, Action::kPolicy},
    {"NoSearch", Store::kPolicies, "NoFind", 0, Action::kPolicy},
    {"ExecuteMenuDel", Store::kAdvanced, "StartMenuRun", 1, Action::kWrite},
    {"FavoritesMenuDel", Store::kAdvanced, "StartMenuFavorites", 0, Action::kWrite},
    {"HelpMenuDel", Store::kPolicies, "NoSMHelp", 0, Action::kPolicy},
};

constexpr Item kWin7Items[] = {
    {"User", Store::kAdvanced, "Start_ShowUser", 1, Action::kWrite},
    {"MyGames", Store::kAdvanced, "Start_ShowMyGames", 1, Action::kWrite},
    {"RecordedTV", Store::kAdvanced, "Start_ShowRecordedTV", 0, Action::kWrite},
    {"Downloads", Store::kAdvanced, "Start_ShowDownloads", 0, Action::kWrite},
    {"MyDocs", Store::kAdvanced, "Start_ShowMyDocs", 1, Action::kWrite},
    {"Videos", Store::kAdvanced, "Start_ShowVideos", 0, Action::kWrite},
    {"MyPics", Store::kAdvanced, "Start_ShowMyPics", 1, Action::kWrite},
    {"MyMusic", Store::kAdvanced, "Start_ShowMyMusic", 1, Action::kWrite},
    {"ControlPanel", Store::kAdvanced, "Start_ShowControlPanel", 1, Action::kWrite},
    {"MyComputer", Store::kAdvanced, "Start_ShowMyComputer", 1, Action::kWrite},
    {"SysAdminTools", Store::kAdvanced, {}, 0, Action::kAdminTools},
    {"DefaultProgram", Store::kAdvanced, "Start_ShowSetProgramAccessAndDefaults", 1,
     Action::kWrite},
    {"NetPlaces", Store::kAdvanced, "Start_ShowNetPlaces", 0, Action::kWrite},
    {"Help", Store::kAdvanced, "Start_ShowHelp", 1, Action::kWrite},
    {"Run", Store::kAdvanced, "Start_ShowRun", 0, Action::kWriteAndRun},
    {"NetConn", Store::kAdvanced, "Start_ShowNetConn", 0, Action::kWrite},
    {"Printers", Store::kAdvanced, "Start_ShowPrinters", 1, Action::kWrite},
    {"Favorites", Store::kAdvanced, "StartMenuFavorites", 0, Action::kWrite},
    {"RecentDocs", Store::kAdvanced, "Start_ShowRecentDocs", 0, Action::kWrite},
    {"HomeGroup", Store::kAdvanced, "Start_ShowHomegroup", 0, Action::kWrite},
    {"Logoff", Store::kPolicies, "StartMenuLogoff", 0, Action::kWrite},
};

constexpr const char* kAdminToolsRoot = "Start_AdminToolsRoot";
constexpr const char* kAdminToolsMenu = "StartMenuAdminTools";

const char* KeyOf(Store store) {
  return store == Store::kPolicies ? kExplorerPolicies : kAdvancedKey;
}

// Where a form's Values come from: the registry for the generation in use, the fixed
// defaults for the other generation, nothing when the generation is unknown.
enum class Source { kRegistry, kDefaults, kNone };

Source SourceOf(bool thisGeneration, bool otherGeneration) {
  if (thisGeneration) return Source::kRegistry;
  return otherGeneration ? Source::kDefaults : Source::kNone;
}

// "2": the administrative tools in the menu and under All Programs; "1": under All Programs
// only; "0": hidden.
std::string ReadAdminTools(SectionContext& ctx) {
  const std::int32_t root =
      ctx.registry.ReadDWORD(kHKeyCurrentUser, kAdvancedKey, kAdminToolsRoot, 0);
  const std::int32_t menu =
      ctx.registry.ReadDWORD(kHKeyCurrentUser, kAdvancedKey, kAdminToolsMenu, 0);
  if (menu != 1) return "0";
  if (root == 2) return "2";
  return root == 0 ? "1" : "0";
}

std::string ReadItem(SectionContext& ctx, const Item& item) {
  if (item.action == Action::kAdminTools) return ReadAdminTools(ctx);
  if (item.store == Store::kClient) {
    // Stored texts come from earlier documents and may hold anything; escaped, they cannot
    // break the document they are produced into.
    return modMain::XMLValueReplace(
        ctx.log, ctx.registry.ReadString(kHKeyLocalMachine, catalogue::kClientKey, item.name,
                                         std::to_string(item.fallback)));
  }
  return std::to_string(
      ctx.registry.ReadDWORD(kHKeyCurrentUser, KeyOf(item.store), item.name, item.fallback));
}

std::string FormText(SectionContext& ctx, std::string_view form, std::span<const Item> items,
                     Source source) {
  std::string text = "<" + std::string(form) + ">" + std::string(catalogue::kCrLf);
  for (const Item& item : items) {
    std::string value;
    if (source == Source::kRegistry) value = ReadItem(ctx, item);
    if (source == Source::kDefaults) value = std::to_string(item.fallback);
    text += catalogue::RowText(item.id, value);
  }
  return text + "</" + std::string(form) + ">" + std::string(catalogue::kCrLf);
}

// A producer's text, or the empty text after a logged failure.
template <typename Build>
std::string Produce(SectionContext& ctx, std::string_view name, Build&& build) {
  util::Procedure proc(ctx.log, kSectionModule, name);
  try {
    return build(proc);
  } catch (...) {
    proc.LogFailure();
    return {};
  }
}

const Item* Find(std::span<const Item> items, std::string_view lowercaseId) {
  for (const Item& item : items) {
    if (item.id.size() != lowercaseId.size()) continue;
    bool same = true;
    for (std::size_t i = 0; same && i < item.id.size(); ++i) {
      char c = item.id[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      same = c == lowercaseId[i];
    }
    if (same) return &item;
  }
  return nullptr;
}

// How the two WinXP appliers differ: the older one writes a policy's "0" instead of
// deleting it, and leaves "NoRun" alone.
struct Flavour {
  bool older = false;
};

void WriteItem(SectionContext& ctx, const Item& item, const std::string& value, Flavour flavour) {
  switch (item.action) {
    case Action::kPolicy:
      if (!flavour.older && value == "0") {
        ctx.registry.DeleteValue(kHKeyCurrentUser, KeyOf(item.store), item.name);
        return;
      }
      ctx.registry.WriteDWORD(kHKeyCurrentUser, KeyOf(item.store), item.name, util::ToLong(value));
      return;
    case Action::kWrite:
      ctx.registry.WriteDWORD(kHKeyCurrentUser, KeyOf(item.store), item.name, util::ToLong(value));
      return;
    case Action::kWriteAndRun:
      ctx.registry.WriteDWORD(kHKeyCurrentUser, KeyOf(item.store), item.name, util::ToLong(value));
      if (!flavour.older) {
        ctx.registry.WriteDWORD(kHKeyCurrentUser, kExplorerPolicies, "NoRun", value == "1" ? 0 : 1);
      }
      return;
    case Action::kAdminTools: {
      const bool shown = value == "1" || value == "2";
      ctx.registry.WriteDWORD(kHKeyCurrentUser, kAdvancedKey, kAdminToolsRoot,
                              value == "2" ? 2 : 0);
      ctx.registry.WriteDWORD(kHKeyCurrentUser, kAdvancedKey, kAdminToolsMenu, shown ? 1 : 0);
      return;
    }
    case Action::kFolder:
      return;  // needs the start menu folder: ApplyFolderItem
  }
}

void CheckFolderStatus(platform::Status status) {
  if (status == platform::kErrorSuccess) return;
  throw util::RunTimeError(status == platform::kErrorPathNotFound ? util::kErrPathNotFound
                                                                  : util::kErrPathFileAccess);
}

// Creates the item's shell folder for "1" and removes it otherwise, then keeps the Value as
// client text. A folder that cannot be created or removed (one that is not empty, say) is a
// failure of the applier.
void ApplyFolderItem(SectionContext& ctx, const Item& item, const std::string& value,
                     const std::string& startMenu, int& line) {
  line = 50;
  // Without a start menu folder the name alone would land in the root of the current drive:
  // a folder that is asked for cannot be made, and there is none of ours to remove.
  if (startMenu.empty() && value == "1") throw util::RunTimeError(util::kErrPathNotFound);
  if (!startMenu.empty()) {
    std::string folder = startMenu;
    if (folder.back() == '\\') folder.pop_back();
    folder += item.folder;
    platform::FileSystem& files = ctx.log.platform().files();
    const std::uint32_t attributes = files.GetAttributes(folder);
    const bool exists =
        attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory) != 0;
    if (value == "1" && !exists) CheckFolderStatus(files.MakeFolder(folder));
    if (value != "1" && exists) CheckFolderStatus(files.RemoveFolder(folder));
  }
  line = 60;
  std::string text = value;
  ctx.spm.SetRegValue(kHKeyLocalMachine, catalogue::kClientKey, item.name, platform::kRegSz, text);
}

void ApplyRows(SectionContext& ctx, const xml::NodeList& rows, std::span<const Item> items,
               Flavour flavour, std::string_view applier) {
  catalogue::ForEachRow(rows, [&](const catalogue::Row& row) {
    catalogue::NoteRow(ctx, applier, row.id);
    if (const Item* item = Find(items, row.id)) WriteItem(ctx, *item, row.value, flavour);
  });
}

// The WinXP rows, then the WinOriginal rows; `line` follows the step for the failure report.
void ApplyWinXPForms(SectionContext& ctx, const xml::NodeList& winXPRows,
                     const xml::NodeList& winOriginalRows, Flavour flavour, int& line) {
  const std::string_view applier = flavour.older ? "GetXMLStartMenu" : "GetXMLStartMenu_WinXP";
  line = 10;
  ApplyRows(ctx, winXPRows, kWinXPItems, flavour, applier);
  line = 20;
  const std::string startMenu =
      ctx.registry.ReadString(kHKeyCurrentUser, kShellFoldersKey, "Start Menu", "");
  catalogue::ForEachRow(winOriginalRows, [&](const catalogue::Row& row) {
    catalogue::NoteRow(ctx, applier, row.id);
    line = 30;
    const Item* item = Find(kWinOriginalItems, row.id);
    if (item == nullptr) return;
    if (item->action == Action::kFolder) {
      ApplyFolderItem(ctx, *item, row.value, startMenu, line);
    } else {
      line = 40;
      WriteItem(ctx, *item, row.value, flavour);
    }
  });
}

}  // namespace

std::string XMLStringStartMenu(catalogue::SectionContext& ctx) {
  const std::string winXP = XMLStringStartMenu_WinXP(ctx);
  const std::string win7 = XMLStringStartMenu_Win7(ctx);
  if (winXP.empty() || win7.empty()) return {};
  return winXP + win7;
}

std::string XMLStringStartMenu_WinXP(catalogue::SectionContext& ctx) {
  return Produce(ctx, "XMLStringStartMenu_WinXP", [&](util::Procedure& proc) {
    const Source source = SourceOf(ctx.winXP, ctx.win7);
    proc.Line(10);
    std::string text = "<StartMenu>" + std::string(catalogue::kCrLf);
    text += FormText(ctx, "WinXP", kWinXPItems, source);
    proc.Line(20);
    text += FormText(ctx, "WinOriginal", kWinOriginalItems, source);
    return text;
  });
}

std::string XMLStringStartMenu_Win7(catalogue::SectionContext& ctx) {
  return Produce(ctx, "XMLStringStartMenu_Win7", [&](util::Procedure& proc) {
    proc.Line(10);
    std::string text = FormText(ctx, "Win7", kWin7Items, SourceOf(ctx.win7, ctx.winXP));
    return text + "</StartMenu>" + std::string(catalogue::kCrLf);
  });
}

void GetXMLStartMenu_WinXP(catalogue::SectionContext& ctx, const xml::NodeList& winXPRows,
                           const xml::NodeList& winOriginalRows) {
  util::Procedure proc(ctx.log, kSectionModule, "GetXMLStartMenu_WinXP");
  int line = 0;
  try {
    ApplyWinXPForms(ctx, winXPRows, winOriginalRows, Flavour{}, line);
  } catch (...) {
    proc.Line(line);
    proc.LogFailure();
  }
}

void GetXMLStartMenu_Win7(catalogue::SectionContext& ctx, const xml::NodeList& win7Rows) {
  util::Procedure proc(ctx.log, kSectionModule, "GetXMLStartMenu_Win7");
  try {
    proc.Line(10);
    ApplyRows(ctx, win7Rows, kWin7Items, Flavour{}, "GetXMLStartMenu_Win7");
  } catch (...) {
    proc.LogFailure();
  }
}

void GetXMLStartMenu(catalogue::SectionContext& ctx, const xml::NodeList& winXPRows,
                     const xml::NodeList& winOriginalRows) {
  int line = 0;
  catalogue::RunLegacyApplier(ctx, "GetXMLStartMenu", [&] {
    ApplyWinXPForms(ctx, winXPRows, winOriginalRows, Flavour{.older = true}, line);
  });
}

}  // namespace dav::modDavIrizevez
