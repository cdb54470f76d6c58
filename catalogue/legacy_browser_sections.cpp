#include "catalogue/legacy_browser_sections.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/document_conventions.h"
#include "catalogue/legacy_applier.h"
#include "catalogue/registry_places.h"
#include "util/conversions.h"
#include "util/run_time_error.h"

namespace dav::modDavIrizevez {
namespace {

using catalogue::kBothHives;
using catalogue::kBrowserKey;
using catalogue::kBrowserMainKey;
using catalogue::kBrowserOptionsKey;
using catalogue::kExplorerPolicies;
using catalogue::Row;
using catalogue::SectionContext;
using platform::KeyHandle;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

constexpr const char* kMediaPlayerKey = "Software\\Microsoft\\MediaPlayer\\Player";
constexpr const char* kRealPlayerKey = "Software\\RealNetworks\\RealPlayer\\6.0\\Preferences";
constexpr const char* kPaintKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint";
constexpr const char* kWordPadKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad";

struct OptionRow {
  std::string_view id;  // lowercased
  std::string_view name;
};

constexpr std::array<OptionRow, 9> kGeneralRows = {{
    {"nogeneralpageuse", "GeneralTab"},
    {"nohomepageconfig", "HomePage"},
    {"notmpifileconfig", "Settings"},
    {"noopenpagelistconfig", "History"},
    {"nobuttoncolorconfig", "Colors"},
    {"nobuttonlinkconfig", "Links"},
    {"nofontconfig", "Fonts"},
    {"nolanguageconfig", "Languages"},
    {"nouserformconfig", "Accessibility"},
}};
constexpr std::array<OptionRow, 2> kPreservationRows = {{
    {"pvpagedel", "SecurityTab"},
    {"nodefaultlevelconfig", "SecChangeSettings"},
}};
constexpr std::array<OptionRow, 5> kLinkRows = {{
    {"dellinkpage", "ConnectionsTab"},
    {"noilinkconfig", "Connwiz Admin Lock"},
    {"nopvlconfig", "Connection Settings"},
    {"nolanautoconfig", "AutoConfig"},
    {"nolanproxyconfig", "Proxy"},
}};

template <std::size_t N>
void ApplyOptionRows(SectionContext& ctx, const xml::NodeList& rows,
                     const std::array<OptionRow, N>& known) {
  catalogue::ForEachRow(rows, [&](const Row& row) {
    for (const OptionRow& option : known) {
      if (row.id != option.id) continue;
      ctx.registry.WriteDWORD(kHKeyCurrentUser, kBrowserOptionsKey, option.name,
                              util::ToLong(row.value));
      return;
    }
  });
}

std::string Attribute(const xml::Node& node, std::string_view name) {
  std::optional<std::string> value = node.attribute(name);
  if (!value) throw util::RunTimeError(util::kErrObjectNotSet);
  return std::move(*value);
}

void WriteText(SectionContext& ctx, KeyHandle hive, std::string_view key, std::string_view name,
               std::string text) {
  ctx.spm.SetRegValue(hive, key, name, platform::kRegSz, text);
}

void DeleteSubKey(SectionContext& ctx, const char* key, std::string_view subKey) {
  for (KeyHandle hive : kBothHives) ctx.registry.DeleteKey(hive, key, subKey);
}

// Clears the lists whose position in the packed text holds the digit 1; positions past the
// end of a shorter text are not asked for.
void ClearLists(SectionContext& ctx, std::string_view packed) {
  const auto asked = [&](std::size_t position) {
    return position <= packed.size() && packed[position - 1] == '1';
  };
  if (asked(1)) DeleteSubKey(ctx, kMediaPlayerKey, "RecentFileList");
  if (asked(2)) DeleteSubKey(ctx, kMediaPlayerKey, "RecentURLList");
  if (asked(3)) ClearRealPlayerRecentClips(ctx);
  if (asked(4)) ClearRealPlayerRecentClips(ctx);
  if (asked(5)) DeleteSubKey(ctx, kPaintKey, "Recent File List");
  if (asked(6)) DeleteSubKey(ctx, kWordPadKey, "Recent File List");
}

}  // namespace

void GetXMLIExConfig(SectionContext& ctx, const xml::NodeList& rows,
                     const xml::NodeList& exConfigs) {
  catalogue::RunLegacyApplier(ctx, "GetXMLIExConfig", [&] {
    catalogue::ForEachRow(rows, [&](const Row& row) {
      if (row.id != "notooluse") return;
      ctx.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoToolbarCustomize",
                              util::ToLong(row.value));
    });
    for (const xml::Node& exConfig : exConfigs) {
      const std::string title = Attribute(exConfig, "TitleBar");
      if (title != kBrowserName) {
        WriteText(ctx, kHKeyCurrentUser, kBrowserMainKey, "Window Title", title);
      } else {
        ctx.registry.DeleteValue(kHKeyCurrentUser, kBrowserMainKey, "Window Title");
      }
      WriteText(ctx, kHKeyCurrentUser, kBrowserKey, "Download Directory",
                Attribute(exConfig, "DownFolder"));
    }
  });
}

void GetXMLInternetOption(SectionContext& ctx, const xml::NodeList& generalRows,
                          const xml::NodeList& preservationRows, const xml::NodeList& linkRows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLInternetOption", [&] {
    ApplyOptionRows(ctx, generalRows, kGeneralRows);
    ApplyOptionRows(ctx, preservationRows, kPreservationRows);
    ApplyOptionRows(ctx, linkRows, kLinkRows);
  });
}

void GetXMLFileOrder(SectionContext& ctx, const xml::NodeList& rows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLFileOrder", [&] {
    if (rows.empty()) return;
    std::string kept;
    catalogue::ForEachRow(rows, [&](const Row& row) {
      if (row.id == "dellist") {
        ClearLists(ctx, row.value);
        if (kept.empty()) kept = row.value;
      } else if (row.id == "rebootautodel") {
        WriteText(ctx, kHKeyLocalMachine, catalogue::kClientKey, "RebootAutoDel", row.value);
      }
    });
    WriteText(ctx, kHKeyLocalMachine, catalogue::kClientKey, "DelList", kept);
  });
}

void ClearRealPlayerRecentClips(SectionContext& ctx) {
  catalogue::RunLegacyApplier(ctx, "ClearRealPlayerRecentClips", [&] {
    for (int i = 1; i <= 8; ++i) {
      DeleteSubKey(ctx, kRealPlayerKey, "MostRecentClips" + std::to_string(i));
    }
  });
}

}  // namespace dav::modDavIrizevez
