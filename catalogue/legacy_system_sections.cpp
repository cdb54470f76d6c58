#include "catalogue/legacy_system_sections.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "catalogue/document_conventions.h"
#include "catalogue/legacy_applier.h"
#include "catalogue/registry_places.h"
#include "catalogue/window_skill.h"
#include "util/procedure.h"
#include "util/run_time_error.h"

namespace dav::modDavIrizevez {
namespace {

using catalogue::kAdvancedKey;
using catalogue::kBothHives;
using catalogue::kCommandPolicies;
using catalogue::kExplorerPolicies;
using catalogue::kKeyboardKey;
using catalogue::kSectionModule;
using catalogue::kSystemPolicies;
using catalogue::Row;
using catalogue::SectionContext;
using platform::KeyHandle;
using platform::kHKeyClassesRoot;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

constexpr const char* kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kSetupKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
// The classes whose "IsShortcut" value draws the arrow on shortcuts and Internet shortcuts.
constexpr const char* kShortcutClass = "lnkfile";
constexpr const char* kInternetShortcutClass = "InternetShortcut";

void WriteText(SectionContext& ctx, KeyHandle hive, std::string_view key, std::string_view name,
               std::string text) {
  ctx.spm.SetRegValue(hive, key, name, platform::kRegSz, text);
}

void WriteBoth(SectionContext& ctx, std::string_view key, std::string_view name,
               std::int32_t value) {
  for (KeyHandle hive : kBothHives) ctx.registry.WriteDWORD(hive, key, name, value);
}

// A blocking row: "1" blocks the tool in both hives and marks it for closing, anything else
// lifts the block.
void ApplyBlock(SectionContext& ctx, const Row& row, std::string_view key, std::string_view name,
                bool& closing) {
  const bool on = row.value == "1";
  WriteBoth(ctx, key, name, on ? 1 : 0);
  if (on) closing = true;
}

void ApplySysMngrRow(SectionContext& ctx, util::Procedure& proc, const Row& row,
                     const std::string& componentKey) {
  catalogue::WindowClosingFlags& closing = ctx.requests.closing;
  if (row.id == "cmdprompt") {
    proc.Line(20);
    ApplyBlock(ctx, row, kCommandPolicies, "DisableCMD", closing.commandPrompt);
  } else if (row.id == "document") {
    proc.Line(30);
    // Without the component's key the value would land in the hive's root.
    if (componentKey.empty()) throw util::RunTimeError(util::kErrObjectNotSet);
    ctx.registry.WriteValue("HKEY_LOCAL_MACHINE\\" + componentKey, "EnableAutoDocumentURL",
                            row.value == "1" ? "1" : "0", platform::kRegSz);
  } else if (row.id == "taskmanager") {
    proc.Line(40);
    ApplyBlock(ctx, row, kSystemPolicies, "DisableTaskMgr", closing.taskManager);
  } else if (row.id == "numlockstatus") {
    proc.Line(50);
    if (row.value == "1") {
      WriteText(ctx, kHKeyCurrentUser, kKeyboardKey, "InitialKeyboardIndicators", "2");
    } else {
      ctx.registry.DeleteValue(kHKeyCurrentUser, kKeyboardKey, "InitialKeyboardIndicators");
    }
  } else if (row.id == "regedition") {
    proc.Line(60);
    ApplyBlock(ctx, row, kSystemPolicies, "DisableRegistryTools", closing.registryEditor);
  }
}

bool IsSysMngrRow(std::string_view id) {
  for (std::string_view known :
       {"cmdprompt", "document", "taskmanager", "numlockstatus", "regedition"}) {
    if (id == known) return true;
  }
  return false;
}

void ApplyWindowShellRow(SectionContext& ctx, const Row& row) {
  const bool on = row.value == "1";
  if (row.id == "nosavesetting") {
    ctx.registry.WriteBinary(kHKeyCurrentUser, kExplorerPolicies, "NoSaveSettings",
                             {static_cast<std::uint8_t>(on ? 1 : 0), 0, 0, 0});
  } else if (row.id == "hidefileextension") {
    ctx.registry.WriteDWORD(kHKeyCurrentUser, kAdvancedKey, "HideFileExt", on ? 1 : 0);
  } else if (row.id == "windowviewstate") {
    ctx.registry.WriteDWORD(kHKeyCurrentUser, kAdvancedKey, "ClassicViewState", on ? 0 : 1);
  } else if (row.id == "nopropertiesmycomputer") {
    if (on) {
      WriteBoth(ctx, kExplorerPolicies, "NoPropertiesMyComputer", 1);
      ctx.requests.closing.systemProperties = true;
    } else {
      for (KeyHandle hive : kBothHives) {
        ctx.registry.DeleteValue(hive, kExplorerPolicies, "NoPropertiesMyComputer");
      }
    }
  } else if (row.id == "classicviewstate") {
    if (on) {
      ctx.registry.WriteDWORD(kHKeyCurrentUser, kExplorerPolicies, "NoFolderOptions", 1);
    } else {
      ctx.registry.DeleteValue(kHKeyCurrentUser, kExplorerPolicies, "NoFolderOptions");
    }
  }
}

// Where a FolderSet row's folder is kept: a value of the user's shell folders, or one
// machine-wide value.
struct FolderPlace {
  std::string_view id;  // lowercased
  std::string_view name;
  const char* machineKey = nullptr;  // HKEY_LOCAL_MACHINE key, for the machine-wide folders
};

constexpr std::array<FolderPlace, 14> kFolderPlaces = {{
    {"desktop", "Desktop"},
    {"mydocuments", "Personal"},
    {"mypictures", "My Pictures"},
    {"programfiles", "ProgramFilesDir", kCurrentVersion},
    {"startmenu", "Start Menu"},
    {"application", "Programs"},
    {"startprogram", "Startup"},
    {"recentdocument", "Recent"},
    {"docutemplate", "Templates"},
    {"fonts", "Fonts"},
    {"favorites", "Favorites"},
    {"openpagelist", "History"},
    {"sendto", "SendTo"},
    {"windowsetupfolder", "SourcePath", kSetupKey},
}};

void ApplyFolderSetRow(SectionContext& ctx, const Row& row) {
  if (row.id == "prohibitmydocufolder") {
    if (row.value == "1") {
      ctx.registry.WriteDWORD(kHKeyCurrentUser, kExplorerPolicies, "DisablePersonalDirChange", 1);
    } else {
      ctx.registry.DeleteValue(kHKeyCurrentUser, kExplorerPolicies, "DisablePersonalDirChange");
    }
    return;
  }
  for (const FolderPlace& place : kFolderPlaces) {
    if (row.id != place.id) continue;
    if (place.machineKey != nullptr) {
      WriteText(ctx, kHKeyLocalMachine, place.machineKey, place.name, row.value);
    } else {
      WriteText(ctx, kHKeyCurrentUser, catalogue::kShellFoldersKey, place.name, row.value);
      WriteText(ctx, kHKeyCurrentUser, kUserShellFolders, place.name, row.value);
    }
    return;
  }
}

// "0" shows the arrow (an empty "IsShortcut"), anything else hides it.
void ApplyShortcutArrow(SectionContext& ctx, const char* shortcutClass, const std::string& value) {
  if (value == "0") {
    WriteText(ctx, kHKeyClassesRoot, shortcutClass, "IsShortcut", "");
  } else {
    ctx.registry.DeleteValue(kHKeyClassesRoot, shortcutClass, "IsShortcut");
  }
}

void ApplyDisplayRows(SectionContext& ctx, const xml::NodeList& rows) {
  catalogue::ForEachRow(rows, [&](const Row& row) {
    if (row.id == "fastlinkview") {
      ApplyShortcutArrow(ctx, kShortcutClass, row.value);
    } else if (row.id == "urlview") {
      ApplyShortcutArrow(ctx, kInternetShortcutClass, row.value);
    } else if (row.id == "wordsview") {
      // "1" leaves the prefix off the names of new shortcuts; any other Value keeps the
      // prefix, as Windows has it by default.
      const std::uint8_t prefix = row.value == "1" ? 0x00 : 0x15;
      ctx.registry.WriteBinary(kHKeyCurrentUser, kExplorerKey, "link", {prefix, 0, 0, 0});
    } else if (row.id == "rebootdisplay") {
      WriteText(ctx, kHKeyLocalMachine, catalogue::kClientKey, "RebootDisplay", row.value);
    }
  });
}

}  // namespace

void GetXMLSysMngr(SectionContext& ctx, const xml::NodeList& rows,
                   const std::string& componentKey) {
  util::Procedure proc(ctx.log, kSectionModule, "GetXMLSysMngr",
                       util::Procedure::Logging::FailuresOnly);
  try {
    proc.Line(10);
    catalogue::WindowClosingFlags& closing = ctx.requests.closing;
    closing.commandPrompt = false;
    closing.registryEditor = false;
    closing.taskManager = false;
    catalogue::ForEachRow(rows, [&](const Row& row) {
      if (!IsSysMngrRow(row.id)) return;
      ctx.log.Write(row.id + "=" + row.value);
      ApplySysMngrRow(ctx, proc, row, componentKey);
    });
  } catch (...) {
    proc.LogFailure();
  }
}

void GetXMLWindowShell(SectionContext& ctx, const xml::NodeList& rows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLWindowShell", [&] {
    if (!rows.empty()) ctx.requests.closing.systemProperties = false;
    catalogue::ForEachRow(rows, [&](const Row& row) { ApplyWindowShellRow(ctx, row); });
  });
}

void GetXMLFolderSet(SectionContext& ctx, const xml::NodeList& rows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLFolderSet", [&] {
    catalogue::ForEachRow(rows, [&](const Row& row) { ApplyFolderSetRow(ctx, row); });
  });
}

void GetXMLDisplay(SectionContext& ctx, const xml::NodeList& rows,
                   const xml::NodeList& displayLists) {
  catalogue::RunLegacyApplier(ctx, "GetXMLDisplay", [&] {
    ApplyDisplayRows(ctx, rows);
    // Only marks the failing step; the error reporter tells of the failure.
    util::Procedure steps(ctx.log, kSectionModule, "GetXMLDisplay",
                          util::Procedure::Logging::FailuresOnly);
    for (const xml::Node& displayList : displayLists) KeepDisplayList(ctx, displayList, steps);
  });
}

void GetXMLDisplay(SectionContext& ctx, const xml::NodeList& rows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLDisplay", [&] { ApplyDisplayRows(ctx, rows); });
}

}  // namespace dav::modDavIrizevez
