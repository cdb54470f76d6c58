#include "catalogue/access.h"

#include <array>
#include <string_view>

#include "catalogue/document_conventions.h"
#include "catalogue/drive_text.h"
#include "catalogue/registry_places.h"
#include "util/conversions.h"
#include "util/mod_main.h"
#include "util/procedure.h"

namespace dav::modDavIrizevez {
namespace {

using catalogue::kBothHives;
using catalogue::kCommandPolicies;
using catalogue::kExplorerPolicies;
using catalogue::kSectionModule;
using catalogue::kSystemPolicies;
using catalogue::Row;
using catalogue::SectionContext;
using platform::KeyHandle;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

struct PolicyValue {
  KeyHandle hive;
  std::string_view key;
  std::string_view name;
};

// The display control panel's pages; the Display row sets all five alike.
constexpr std::array<PolicyValue, 5> kDisplayPages = {{
    {kHKeyCurrentUser, kExplorerPolicies, "NoThemesTab"},
    {kHKeyCurrentUser, kSystemPolicies, "NoDispBackgroundPage"},
    {kHKeyCurrentUser, kSystemPolicies, "NoDispScrSavPage"},
    {kHKeyCurrentUser, kSystemPolicies, "NoDispAppearancePage"},
    {kHKeyCurrentUser, kSystemPolicies, "NoDispSettingsPage"},
}};

std::int32_t Read(SectionContext& ctx, KeyHandle hive, std::string_view key,
                  std::string_view name) {
  return ctx.registry.ReadDWORD(hive, key, name, 0);
}

std::string Flag(bool on) {
  return on ? "1" : "0";
}

// A flag row is on for exactly "1". Its Value must still be a number: a document that holds
// anything else is damaged, and reading it as "off" would lift the restriction.
bool FlagRow(std::string_view value) {
  util::ToLong(value);
  return value == "1";
}

void WriteBoth(SectionContext& ctx, std::string_view key, std::string_view name,
               std::int32_t value) {
  for (KeyHandle hive : kBothHives) ctx.registry.WriteDWORD(hive, key, name, value);
}

// The rows of one GetXMLUsedAccess call, with the drive choices its NoViewOnDrive and
// NoDrives rows leave for DriveSettings.
class UsedAccessApplier {
 public:
  UsedAccessApplier(SectionContext& ctx, util::Procedure& proc) : ctx_(ctx), proc_(proc) {}

  void Apply(const Row& row) {
    const std::string& id = row.id;
    const std::string& value = row.value;
    catalogue::WindowClosingFlags& closing = ctx_.requests.closing;
    if (id == "cmdprompt") {
      proc_.Line(20);
      const bool on = FlagRow(value);
      WriteBoth(ctx_, kCommandPolicies, "DisableCMD", on ? 1 : 0);
      if (on) closing.commandPrompt = true;
    } else if (id == "regedition") {
      proc_.Line(30);
      const bool on = FlagRow(value);
      WriteBoth(ctx_, kSystemPolicies, "DisableRegistryTools", on ? 1 : 0);
      if (on) closing.registryEditor = true;
    } else if (id == "taskmanager") {
      proc_.Line(40);
      const bool on = FlagRow(value);
      WriteBoth(ctx_, kSystemPolicies, "DisableTaskMgr", on ? 1 : 0);
      if (on) closing.taskManager = true;
    } else if (id == "nopropertiesmycomputer") {
      proc_.Line(50);
      if (FlagRow(value)) {
        WriteBoth(ctx_, kExplorerPolicies, "NoPropertiesMyComputer", 1);
        closing.systemProperties = true;
      } else {
        for (KeyHandle hive : kBothHives) {
          ctx_.registry.DeleteValue(hive, kExplorerPolicies, "NoPropertiesMyComputer");
        }
      }
    } else if (id == "classicviewstate") {
      proc_.Line(60);
      if (FlagRow(value)) {
        ctx_.registry.WriteDWORD(kHKeyCurrentUser, kExplorerPolicies, "NoFolderOptions", 1);
      } else {
        ctx_.registry.DeleteValue(kHKeyCurrentUser, kExplorerPolicies, "NoFolderOptions");
      }
    } else if (id == "noviewondrive") {
      proc_.Line(70);
      noViewOnDrive_ = value;
    } else if (id == "nodrives") {
      proc_.Line(80);
      noDrives_ = util::ToLong(value);
    } else if (id == "drivesettings") {
      proc_.Line(90);
      const std::int32_t mask = catalogue::DriveMask(value);
      ctx_.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoDrives",
                               noDrives_ == 1 ? mask : 0);
      ctx_.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoViewOnDrive",
                               noViewOnDrive_ == "1" ? mask : 0);
    } else if (id == "display") {
      proc_.Line(100);
      const std::int32_t number = util::ToLong(value);
      for (const PolicyValue& page : kDisplayPages) {
        ctx_.registry.WriteDWORD(page.hive, page.key, page.name, number);
      }
    }
  }

 private:
  SectionContext& ctx_;
  util::Procedure& proc_;
  std::string noViewOnDrive_ = "0";
  std::int32_t noDrives_ = 0;
};

}  // namespace

std::string XMLStringUsedAccess(SectionContext& ctx) {
  util::Procedure proc(ctx.log, kSectionModule, "XMLStringUsedAccess");
  std::string text;
  try {
    proc.Line(10);
    text = "<UsedAccess>" + std::string(catalogue::kCrLf);
    proc.Line(20);
    text += catalogue::RowText(
        "CmdPrompt", Flag(Read(ctx, kHKeyCurrentUser, kCommandPolicies, "DisableCMD") != 0));
    text += catalogue::RowText(
        "RegEdition",
        std::to_string(Read(ctx, kHKeyCurrentUser, kSystemPolicies, "DisableRegistryTools")));
    text += catalogue::RowText(
        "TaskManager",
        std::to_string(Read(ctx, kHKeyCurrentUser, kSystemPolicies, "DisableTaskMgr")));
    text += catalogue::RowText(
        "NoPropertiesMyComputer",
        std::to_string(Read(ctx, kHKeyLocalMachine, kExplorerPolicies, "NoPropertiesMyComputer")));
    text += catalogue::RowText(
        "ClassicViewState",
        std::to_string(Read(ctx, kHKeyCurrentUser, kExplorerPolicies, "NoFolderOptions")));
    proc.Line(30);
    const std::int32_t noViewOnDrive =
        Read(ctx, kHKeyLocalMachine, kExplorerPolicies, "NoViewOnDrive");
    const std::int32_t noDrives = Read(ctx, kHKeyLocalMachine, kExplorerPolicies, "NoDrives");
    text += catalogue::RowText("NoViewOnDrive", Flag(noViewOnDrive != 0));
    text += catalogue::RowText("NoDrives", Flag(noDrives != 0));
    text += catalogue::RowText("DriveSettings",
                               catalogue::DriveText(static_cast<std::uint32_t>(noDrives) |
                                                    static_cast<std::uint32_t>(noViewOnDrive)));
    proc.Line(40);
    bool allPages = true;
    for (const PolicyValue& page : kDisplayPages) {
      if (Read(ctx, page.hive, page.key, page.name) == 0) allPages = false;
    }
    text += catalogue::RowText("Display", Flag(allPages));
    text += "</UsedAccess>" + std::string(catalogue::kCrLf);
  } catch (...) {
    proc.LogFailure();
  }
  return text;
}

void GetXMLUsedAccess(SectionContext& ctx, const xml::NodeList& rows) {
  util::Procedure proc(ctx.log, kSectionModule, "GetXMLUsedAccess");
  try {
    UsedAccessApplier applier(ctx, proc);
    for (const xml::Node& node : rows) {
      proc.Line(10);
      const Row row = catalogue::ReadRow(node);
      catalogue::NoteRow(ctx, "GetXMLUsedAccess", row.id);
      applier.Apply(row);
    }
  } catch (...) {
    proc.LogFailure();
  }
}

}  // namespace dav::modDavIrizevez
