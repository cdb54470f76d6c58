#include "catalogue/control_panel.h"

#include <optional>
#include <string_view>

#include "catalogue/control_panel_applets.h"
#include "catalogue/document_conventions.h"
#include "catalogue/legacy_applier.h"
#include "catalogue/registry_places.h"
#include "util/conversions.h"
#include "util/mod_main.h"
#include "util/procedure.h"

namespace dav::modDavIrizevez {
namespace {

using catalogue::kBothHives;
using catalogue::kExplorerPolicies;
using catalogue::kSectionModule;
using catalogue::Row;
using catalogue::SectionContext;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

constexpr std::string_view kDisallowList =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\DisallowCpl";
constexpr std::string_view kDontLoad = "Control Panel\\don't load";
constexpr std::string_view kNameSpace =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ControlPanel\\NameSpace";
constexpr std::string_view kAdminToolsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ControlPanel\\NameSpace\\"
    "{D20EA4E1-3957-11d2-A40B-0C5020524153}";
constexpr std::string_view kNetworkItemKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\NonEnum";
constexpr std::string_view kNetworkItem = "{7007ACC7-3202-11D1-AAD2-00805FC1270E}";

std::string NameSpaceKey(std::string_view applet) {
  std::string key;
  key.reserve(kNameSpace.size() + 1 + applet.size());
  key.append(kNameSpace).append("\\").append(applet);
  return key;
}

// Appends <CPLList ID="…" DisplayName="…" Value="…" [Disabllowcpl="…"] /> CR LF to text, the
// attribute name spelt as stored documents spell it. Written in place, as a section holds
// dozens of applets; a failure to escape leaves text as it was.
void AppendAppletText(std::string& text, SectionContext& ctx, std::string_view id,
                      std::string_view displayName, std::string_view value,
                      std::optional<bool> disallowList = std::nullopt) {
  const std::string escapedId = modMain::XMLValueReplace(ctx.log, id);
  const std::string escapedName = modMain::XMLValueReplace(ctx.log, displayName);
  text.append("<CPLList ID=\"")
      .append(escapedId)
      .append("\" DisplayName=\"")
      .append(escapedName)
      .append("\" Value=\"")
      .append(value)
      .append("\"");
  if (disallowList) text.append(" Disabllowcpl=\"").append(*disallowList ? "1" : "0").append("\"");
  text.append(" />").append(catalogue::kCrLf);
}

std::string NoControlPanelRow(SectionContext& ctx) {
  const std::int32_t value =
      ctx.registry.ReadDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoControlPanel", 0);
  return catalogue::RowText("NoControlPanel", std::to_string(value));
}

// "1" when the XP applet may be opened: no "don't load" entry for it in the user's list,
// or, for the administrative tools, its name-space key in either hive.
std::string XPAppletValue(SectionContext& ctx, std::string_view id) {
  if (id == catalogue::kAdminToolsApplet) {
    const bool shown =
        ctx.registry.RegKeyExist("HKEY_CURRENT_USER\\" + std::string(kAdminToolsKey)) ||
        ctx.registry.RegKeyExist("HKEY_LOCAL_MACHINE\\" + std::string(kAdminToolsKey));
    return shown ? "1" : "0";
  }
  return ctx.registry.ReadString(kHKeyCurrentUser, kDontLoad, id, "").empty() ? "1" : "0";
}

std::string Win7AppletValue(SectionContext& ctx, const catalogue::Win7Applet& applet) {
  if (applet.disallowList) {
    return ctx.spm.GetRegValueDefault(kHKeyCurrentUser, kDisallowList, applet.id, "").empty() ? "1"
                                                                                              : "0";
  }
  const platform::KeyHandle key = ctx.spm.GetRegHKey(kHKeyLocalMachine, NameSpaceKey(applet.id));
  if (key == platform::kNoKey) return "0";
  ctx.log.platform().registry().CloseKey(key);
  return "1";
}

// One XP applet: 1 lets it open, any other number hides it, in both hives.
void ApplyXPApplet(SectionContext& ctx, std::string_view id, std::int32_t value) {
  for (platform::KeyHandle hive : kBothHives) {
    if (id == catalogue::kAdminToolsApplet) {
      if (value == 1) {
        ctx.registry.CreateKey(hive, kAdminToolsKey);
      } else {
        ctx.registry.RemoveKey(hive, kAdminToolsKey);
      }
    } else if (value == 1) {
      ctx.registry.DeleteValue(hive, kDontLoad, id);
    } else {
      std::string no = "No";
      ctx.spm.SetRegValue(hive, kDontLoad, id, platform::kRegSz, no);
    }
  }
}

// The network connections applet also shows or hides its item in the shell's name space.
void ApplyNetworkItem(SectionContext& ctx, std::int32_t value) {
  for (platform::KeyHandle hive : kBothHives) {
    ctx.registry.WriteDWORD(hive, kNetworkItemKey, kNetworkItem, value == 1 ? 0 : 1);
  }
}

void ApplyWin7Applet(SectionContext& ctx, util::Procedure& proc, const xml::Node& node) {
  const Row row = catalogue::ReadRow(node);
  if (node.attribute("Disabllowcpl") == "1") {
    std::string data = row.value == "0" ? row.id : std::string();
    ctx.spm.SetRegValue(kHKeyCurrentUser, kDisallowList, row.id, platform::kRegSz, data);
    return;
  }
  if (!catalogue::IsKeyName(row.id)) {
    ctx.log.Write("[skip:" + proc.source() + "] line " + std::to_string(proc.line()) +
                  ", applet ID \"" + row.id + "\" is no key name");
    return;
  }
  if (row.value == "0") {
    ctx.spm.DeleteRegKey(kHKeyLocalMachine, NameSpaceKey(row.id));
  } else {
    platform::KeyHandle created = platform::kNoKey;
    if (ctx.spm.CreateRegKey(kHKeyLocalMachine, NameSpaceKey(row.id), created)) {
      ctx.log.platform().registry().CloseKey(created);
    }
  }
}

// A row of the section (NoControlPanel): each names an Explorer policy value by its
// lowercased identifier; 1 sets it, any other number clears it and also lifts
// NoSetFolders. A row's identifier is only ever a value name in that one key.
template <typename ToNumber>
void ApplyControlPanelRow(SectionContext& ctx, const Row& row, ToNumber toNumber) {
  if (toNumber(row.value) == 1) {
    ctx.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, row.id, 1);
  } else {
    ctx.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, row.id, 0);
    ctx.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoSetFolders", 0);
  }
}

}  // namespace

std::string XMLStringControlPanel(SectionContext& ctx) {
  util::Procedure proc(ctx.log, kSectionModule, "XMLStringControlPanel");
  std::string text;
  try {
    proc.Line(10);
    text = XMLStringControlPanel_WinXP(ctx);
    proc.Line(20);
    text += XMLStringControlPanel_Win7(ctx);
  } catch (...) {
    proc.LogFailure();
  }
  return text;
}

std::string XMLStringControlPanel_WinXP(SectionContext& ctx) {
  util::Procedure proc(ctx.log, kSectionModule, "XMLStringControlPanel_WinXP");
  std::string text;
  try {
    proc.Line(10);
    text = "<ControlMngr><WinXP>" + std::string(catalogue::kCrLf);
    proc.Line(20);
    for (const catalogue::XPApplet& applet : catalogue::XPApplets()) {
      const std::string value = ctx.winXP ? XPAppletValue(ctx, applet.id) : ctx.win7 ? "1" : "";
      AppendAppletText(text, ctx, applet.id, applet.displayName, value);
    }
    proc.Line(30);
    text += NoControlPanelRow(ctx);
    text += "</WinXP>" + std::string(catalogue::kCrLf);
  } catch (...) {
    proc.LogFailure();
  }
  return text;
}

std::string XMLStringControlPanel_Win7(SectionContext& ctx) {
  util::Procedure proc(ctx.log, kSectionModule, "XMLStringControlPanel_Win7");
  std::string text;
  try {
    proc.Line(10);
    text = "<Win7>" + std::string(catalogue::kCrLf);
    proc.Line(20);
    for (const catalogue::Win7Applet& applet : catalogue::Win7Applets()) {
      const std::string value = ctx.win7 ? Win7AppletValue(ctx, applet) : ctx.winXP ? "1" : "";
      AppendAppletText(text, ctx, applet.id, applet.displayName, value, applet.disallowList);
    }
    proc.Line(30);
    text += NoControlPanelRow(ctx);
    text += "</Win7></ControlMngr>" + std::string(catalogue::kCrLf);
  } catch (...) {
    proc.LogFailure();
  }
  return text;
}

void GetXMLControlPanel(SectionContext& ctx, const xml::NodeList& applets,
                        const xml::NodeList& rows) {
  util::Procedure proc(ctx.log, kSectionModule, "GetXMLControlPanel");
  try {
    if (!applets.empty()) {
      proc.Line(10);
      if (ctx.win7) SetRegitry(ctx);
      if (ctx.winXP) {
        proc.Line(20);
        catalogue::ForEachRow(applets, [&](const Row& row) {
          catalogue::NoteRow(ctx, "GetXMLControlPanel", row.id);
          const std::int32_t value = util::ToLong(row.value);
          ApplyXPApplet(ctx, row.id, value);
          if (row.id == "ncpa.cpl") ApplyNetworkItem(ctx, value);
        });
      }
      if (ctx.win7) {
        proc.Line(30);
        for (const xml::Node& node : applets) {
          catalogue::NoteRow(ctx, "GetXMLControlPanel", node.attribute("ID").value_or(""));
          ApplyWin7Applet(ctx, proc, node);
        }
      }
    }
    proc.Line(40);
    catalogue::ForEachRow(rows, [&](const Row& row) {
      catalogue::NoteRow(ctx, "GetXMLControlPanel", row.id);
      ApplyControlPanelRow(ctx, row, util::ToLong);
    });
  } catch (...) {
    proc.LogFailure();
  }
}

void SetRegitry(SectionContext& ctx) {
  util::Procedure proc(ctx.log, kSectionModule, "SetRegitry");
  try {
    proc.Line(10);
    if (ctx.registry.ReadDWORD(kHKeyCurrentUser, kExplorerPolicies, "DisallowCpl", 0) == 0) {
      ctx.registry.WriteDWORD(kHKeyCurrentUser, kExplorerPolicies, "DisallowCpl", 1);
    }
    proc.Line(20);
    if (ctx.registry.ReadDWORD(kHKeyCurrentUser, kExplorerPolicies, "NoControlPanel", 1) == 1) {
      ctx.registry.WriteDWORD(kHKeyCurrentUser, kExplorerPolicies, "NoControlPanel", 0);
    }
  } catch (...) {
    proc.LogFailure();
  }
}

void GetXMLControlMngr(SectionContext& ctx, const xml::NodeList& applets,
                       const xml::NodeList& rows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLControlMngr", [&] {
    catalogue::ForEachRow(
        applets, [&](const Row& row) { ApplyXPApplet(ctx, row.id, util::ToInteger(row.value)); });
    catalogue::ForEachRow(rows,
                          [&](const Row& row) { ApplyControlPanelRow(ctx, row, util::ToInteger); });
  });
}

}  // namespace dav::modDavIrizevez
