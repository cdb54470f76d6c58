#include "catalogue/legacy_drive_sections.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/document_conventions.h"
#include "catalogue/drive_text.h"
#include "catalogue/legacy_applier.h"
#include "catalogue/registry_places.h"
#include "util/conversions.h"

namespace dav::modDavIrizevez {
namespace {

using catalogue::kBothHives;
using catalogue::kExplorerPolicies;
using catalogue::kSectionModule;
using catalogue::kSystemPolicies;
using catalogue::Row;
using catalogue::SectionContext;
using platform::KeyHandle;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

constexpr const char* kUninstallPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall";
constexpr const char* kAutorunPolicies =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\explorer";
constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall";

// A row whose Value, a number, is written as a DWORD to one policy value.
struct PolicyRow {
  std::string_view id;  // lowercased
  const char* key;
  std::string_view name;
  KeyHandle hive = kHKeyCurrentUser;  // NPConfig: the one hive written
};

constexpr std::array<PolicyRow, 5> kDisplayPages = {{
    {"nothemechange", kExplorerPolicies, "NoThemesTab"},
    {"nobgimgchange", kSystemPolicies, "NoDispBackgroundPage"},
    {"noscreensaverchange", kSystemPolicies, "NoDispScrSavPage"},
    {"nobgcolorchange", kSystemPolicies, "NoDispAppearancePage"},
    {"noconfigpagechange", kSystemPolicies, "NoDispSettingsPage"},
}};

constexpr std::array<PolicyRow, 3> kPrinterRows = {{
    {"networkicondel", kExplorerPolicies, "NoNetHood", kHKeyLocalMachine},
    {"noprinterdriverinsert", kExplorerPolicies, "NoAddPrinter", kHKeyCurrentUser},
    {"noprinterdriverdel", kExplorerPolicies, "NoDeletePrinter", kHKeyCurrentUser},
}};

// The pages of Add/Remove Programs; the policy values carry the rows' lowercased names.
constexpr std::array<std::string_view, 3> kAppwizPages = {"noremovepage", "noaddpage",
                                                          "nowindowssetuppage"};

template <std::size_t N>
const PolicyRow* Find(const std::array<PolicyRow, N>& rows, std::string_view id) {
  for (const PolicyRow& row : rows) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// The rows of one GetXMLDiskMngr call, with the choices its first rows leave for
// DriveSettings.
class DiskMngrApplier {
 public:
  explicit DiskMngrApplier(SectionContext& ctx) : ctx_(ctx) {}

  void Apply(const Row& row) {
    if (row.id == "hidedrive") {
      hideDrive_ = util::ToLong(row.value);
    } else if (row.id == "noadmissiondrive") {
      noAdmissionDrive_ = util::ToLong(row.value);
    } else if (row.id == "drivesettings") {
      const std::int32_t mask = catalogue::DriveMask(row.value);
      ctx_.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoDrives",
                               hideDrive_ == 1 ? mask : 0);
      ctx_.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoViewOnDrive",
                               noAdmissionDrive_ == 1 ? mask : 0);
    } else if (row.id == "autorunuse") {
      // Autorun in use: no drive type is kept from it; otherwise every type is.
      ctx_.registry.WriteDWORD(kHKeyLocalMachine, kAutorunPolicies, "NoDriveTypeAutoRun",
                               row.value == "1" ? 0 : 255);
    } else if (row.id == "networkdriveset") {
      if (row.value == "1") {
        ctx_.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoNetConnectDisconnect", 1);
      } else {
        ctx_.registry.DeleteValue(kHKeyLocalMachine, kExplorerPolicies, "NoNetConnectDisconnect");
      }
    }
  }

 private:
  SectionContext& ctx_;
  std::int32_t hideDrive_ = 0;
  std::int32_t noAdmissionDrive_ = 0;
};

void ApplyAppList(SectionContext& ctx, const xml::Node& node) {
  const Row program = catalogue::ReadRow(node);
  if (!catalogue::IsKeyName(program.id)) {
    ctx.log.Write("[skip:" + std::string(kSectionModule) + ".GetXMLAppwiz] program ID \"" +
                  program.id + "\" names no sub-key of the UnInstall key");
    return;
  }
  const std::int32_t shown = util::ToLong(program.value);
  ctx.registry.WriteDWORD(kHKeyLocalMachine, std::string(kUninstallKey) + "\\" + program.id,
                          "SystemComponent", shown == 1 ? 0 : 1);
}

}  // namespace

void GetXMLDiskMngr(SectionContext& ctx, const xml::NodeList& rows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLDiskMngr", [&] {
    DiskMngrApplier applier(ctx);
    catalogue::ForEachRow(rows, [&](const Row& row) { applier.Apply(row); });
  });
}

void GetXMLDisplayControl(SectionContext& ctx, const xml::NodeList& rows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLDisplayControl", [&] {
    catalogue::ForEachRow(rows, [&](const Row& row) {
      const PolicyRow* page = Find(kDisplayPages, row.id);
      if (page == nullptr) return;
      const std::int32_t value = util::ToLong(row.value);
      for (KeyHandle hive : kBothHives) ctx.registry.WriteDWORD(hive, page->key, page->name, value);
    });
  });
}

void GetXMLNPConfig(SectionContext& ctx, const xml::NodeList& rows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLNPConfig", [&] {
    catalogue::ForEachRow(rows, [&](const Row& row) {
      const PolicyRow* policy = Find(kPrinterRows, row.id);
      if (policy == nullptr) return;
      ctx.registry.WriteDWORD(policy->hive, policy->key, policy->name, util::ToLong(row.value));
    });
  });
}

void GetXMLAppwiz(SectionContext& ctx, const xml::NodeList& appLists, const xml::NodeList& rows) {
  catalogue::RunLegacyApplier(ctx, "GetXMLAppwiz", [&] {
    for (const xml::Node& node : appLists) ApplyAppList(ctx, node);
    catalogue::ForEachRow(rows, [&](const Row& row) {
      bool known = false;
      for (std::string_view page : kAppwizPages) known = known || row.id == page;
      if (!known) return;
      const std::int32_t locked = util::ToLong(row.value) == 1 ? 1 : 0;
      for (KeyHandle hive : kBothHives) {
        ctx.registry.WriteDWORD(hive, kUninstallPolicies, row.id, locked);
      }
    });
  });
}

}  // namespace dav::modDavIrizevez
