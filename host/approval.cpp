#include "host/approval.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "desktop/desktop_icon_manager.h"
#include "fileutil/file_folder.h"
#include "host/command_error.h"
#include "host/icon_folder_places.h"
#include "host/machine_sections.h"
#include "registry/md_spm.h"
#include "registry/opened_key.h"
#include "startup/run_keys.h"
#include "startup/start_program_manager.h"
#include "util/mod_main.h"

namespace dav::host {
namespace {

using Manager = startup::StartProgramManager;
using Record = mdTypeDefine::UType_SPMData;

bool Exists(platform::Platform& pc, const std::string& path) {
  return pc.files().GetAttributes(path) != platform::kInvalidAttributes;
}

// Run entry names compare as the registry compares them, without regard to letter case.
bool SameEntryName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool IsRunLabel(std::string_view where) {
  return std::any_of(startup::kLiveKeys.begin(), startup::kLiveKeys.end(),
                     [&](const startup::LiveKey& live) { return live.label == where; });
}

// The names asked for; every one must be found before anything changes.
class NameFilter {
 public:
  explicit NameFilter(const std::vector<std::string>& names) : names_(names) {}
  // Whether the item is to be approved; marks the name found. exact: icon file names
  // compare exactly, Run entry names without regard to case.
  bool Takes(const std::string& name, bool exact) {
    if (names_.empty()) return true;
    bool taken = false;
    for (const std::string& wanted : names_) {
      if (exact ? wanted == name : SameEntryName(wanted, name)) {
        found_.insert(wanted);
        taken = true;
      }
    }
    return taken;
  }
  bool Explicit() const { return !names_.empty(); }
  void RequireAll(const std::string& where) const {
    for (const std::string& name : names_) {
      if (!found_.contains(name)) throw CommandError("no " + where + " named '" + name + "'");
    }
  }

 private:
  const std::vector<std::string>& names_;
  std::set<std::string> found_;
};

// The desktop list as the component would produce it (special icons first), with the
// approval the desktop has now; a backup folder that is not there is not made.
desktop::IconList CurrentDesktop(util::Log& log, const ClientSettings& settings,
                                 const IconFolderPlaces& places, bool* autoRecover,
                                 std::size_t* specialIcons) {
  const std::string storeKey = DesktopIconStoreKey(settings);
  desktop::DesktopIconManager icons(log, storeKey);
  icons.SetIconFolders(places.user, places.common,
                       Exists(log.platform(), places.backup) ? places.backup : std::string(),
                       icons.LoadFilteringList(), desktop::kModeDesktop);
  *autoRecover = icons.EnableAutoRecover();
  desktop::IconList list;
  icons.GetDesktopIconList(list, *autoRecover, desktop::kModeDesktop);
  *specialIcons = std::min(list.size(), static_cast<std::size_t>(icons.SpecialIconCount()));
  return list;
}

// One icon folder set as an approval sees it.
struct IconSet {
  std::string user;
  std::string common;
  bool commonTaken = false;  // the all-users folder's icons are approved too
  bool enforced = false;     // protection was on: only the backup's copies are approved
  std::string userWhere;
  std::string commonWhere;
};

// Marks the icons present in the folders approved (names permitting) from index first on;
// the approved ones that have gone, which the backup holds, carry 1 already. While the set
// was not enforced every present icon counts as approved: each is kept, and now recorded.
void ApproveIcons(platform::Platform& pc, desktop::IconList& list, std::size_t first,
                  const IconSet& set, NameFilter& names, std::vector<ApprovedItem>& approved) {
  std::set<std::string> said;
  for (std::size_t i = first; i < list.size(); ++i) {
    mdTypeDefine::UType_DIData& icon = list[i];
    const bool onUser = !set.user.empty() && Exists(pc, set.user + "\\" + icon.diFileName);
    const bool onCommon = !set.common.empty() && Exists(pc, set.common + "\\" + icon.diFileName);
    if (!onUser && !onCommon) {
      names.Takes(icon.diFileName, true);  // approved and gone: the start brings it back
      continue;
    }
    const bool taken =
        (onUser || (onCommon && set.commonTaken)) && names.Takes(icon.diFileName, true);
    if (set.enforced && (!taken || icon.diFlag == 1)) continue;
    icon.diFlag = 1;
    if (said.insert(icon.diFileName).second) {
      approved.push_back({onUser ? set.userWhere : set.commonWhere, icon.diFileName});
    }
  }
}

// Run entries the start list lacks become records switched on: an off-list record when
// there is one (it leaves the off list), else a new one. With names, an off-list entry that
// is no longer in its Run key is switched back on too.
void ApproveRunEntries(Manager& spm, const startup::StorePlaces& places,
                       std::vector<Record>& records, NameFilter& names,
                       std::vector<ApprovedItem>& approved) {
  for (const startup::LiveKey& live : startup::kLiveKeys) {
    const auto offRecord = [&](const std::string& name) -> Record* {
      for (Record& record : records) {
        if (!record.spmIsPrevStart && record.spmRegHKey == static_cast<std::int32_t>(live.hive) &&
            record.spmRegPath == live.path && SameEntryName(record.spmFileName, name)) {
          return &record;
        }
      }
      return nullptr;
    };
    const std::vector<Manager::Entry> start =
        spm.Entries(platform::kHKeyLocalMachine, startup::ListOf(places.startListKey, live));
    const auto listed = [&](const std::string& name) {
      return std::any_of(start.begin(), start.end(), [&](const Manager::Entry& entry) {
        return SameEntryName(entry.name, name);
      });
    };
    for (const Manager::Entry& entry : spm.Entries(live.hive, live.path)) {
      // The client's own programs never leave Run: approving them changes nothing.
      if (!names.Takes(entry.name, false) || mdSPM::IsProtectedEntry(entry.name) ||
          !startup::IsCommandType(entry.type) || listed(entry.name)) {
        continue;
      }
      if (Record* record = offRecord(entry.name)) {
        record->spmIsStart = true;
        record->spmPathSwitch = entry.data;
      } else {
        records.push_back({entry.name, entry.data, true, false, std::string(live.path),
                           static_cast<std::int32_t>(live.hive), false});
      }
      approved.push_back({std::string(live.label), entry.name});
    }
    if (!names.Explicit()) continue;
    for (Record& record : records) {
      if (record.spmIsPrevStart || record.spmIsStart ||
          record.spmRegHKey != static_cast<std::int32_t>(live.hive) ||
          record.spmRegPath != live.path || !names.Takes(record.spmFileName, false)) {
        continue;
      }
      record.spmIsStart = true;
      approved.push_back({std::string(live.label), record.spmFileName});
    }
  }
}

// A newly approved icon that the backup could hold must have its copy there: without it the
// next enforcing start deletes the icon.
void RequireBackedUp(platform::Platform& pc, const IconFolderPlaces& places,
                     const std::vector<ApprovedItem>& approved) {
  for (const ApprovedItem& item : approved) {
    for (const std::string* folder : {&places.user, &places.common}) {
      if (folder->empty()) continue;
      const std::uint32_t attributes = pc.files().GetAttributes(*folder + "\\" + item.name);
      if (attributes == platform::kInvalidAttributes ||
          !platform::MatchesAttributeMask(attributes, fileutil::kFoldersAndFiles)) {
        continue;
      }
      if (!Exists(pc, places.backup + "\\" + item.name)) {
        throw CommandError("could not copy '" + item.name + "' into the backup folder " +
                           places.backup +
                           ", so it is not approved; the component was not "
                           "started");
      }
    }
  }
}

}  // namespace

Approval PlanApproval(platform::Platform& pc, const ClientSettings& settings, ApprovalKind kind,
                      const std::vector<std::string>& names, bool allUsers) {
  Approval approval;
  approval.kind = kind;
  util::Log log(pc, settings.ComponentFolder());
  const util::Log::Mute mute(log);  // reading leaves no log line
  const bool isWinNT = modMain::UF_IsWinNT(log);
  NameFilter filter(names);

  const IconFolderPlaces desktopPlaces = DesktopFolderPlaces(log, settings, isWinNT);
  bool autoRecover = false;
  std::size_t specialIcons = 0;
  approval.desktopIcons = CurrentDesktop(log, settings, desktopPlaces, &autoRecover, &specialIcons);

  const startup::StorePlaces places = startup::StorePlacesOf(settings.registryKey);
  Manager spm(log, places, isWinNT);
  mdSPM registry(log);
  const bool storeExists = static_cast<bool>(
      OpenedKey(pc.registry(), registry.GetRegHKey(platform::kHKeyLocalMachine, places.storeKey)));
  approval.startProtection = storeExists && spm.EnableOpt();
  if (storeExists) approval.startRecords = spm.List();

  if (kind == ApprovalKind::kDesktop) {
    ApproveIcons(pc, approval.desktopIcons, specialIcons,
                 {desktopPlaces.user, desktopPlaces.common, allUsers, autoRecover, "user desktop",
                  "all users desktop"},
                 filter, approval.approved);
    filter.RequireAll(allUsers ? "icon on the user's or the all users desktop"
                               : "icon on the user's desktop");
    autoRecover = true;
  } else {
    // While protection is off every start snapshots the Run keys into the start list, the
    // approving one too: each entry there is approved, and the records stay as they are.
    std::vector<ApprovedItem> runApproved;
    if (approval.startProtection) {
      ApproveRunEntries(spm, places, approval.startRecords, filter, runApproved);
    } else {
      for (const startup::LiveKey& live : startup::kLiveKeys) {
        for (const Manager::Entry& entry : spm.Entries(live.hive, live.path)) {
          filter.Takes(entry.name, false);
          if (!mdSPM::IsProtectedEntry(entry.name) && startup::IsCommandType(entry.type)) {
            runApproved.push_back({std::string(live.label), entry.name});
          }
        }
      }
    }
    const IconFolderPlaces startupPlaces = StartupFolderPlaces(log, settings, isWinNT);
    desktop::IconFolders items(log);
    items.SetIconFolders(startupPlaces.user, startupPlaces.common,
                         Exists(pc, startupPlaces.backup) ? startupPlaces.backup : std::string(),
                         {"desktop.ini"}, desktop::kModeStartup);
    items.GetList(approval.startupItems, approval.startProtection, desktop::kModeStartup);
    ApproveIcons(pc, approval.startupItems, 0,
                 {startupPlaces.user, startupPlaces.common, true, approval.startProtection,
                  "start-up folder", "all users start-up folder"},
                 filter, approval.approved);
    approval.approved.insert(approval.approved.begin(), runApproved.begin(), runApproved.end());
    filter.RequireAll("Run entry or start-up item");
  }

  const MachineSections sections = ReadMachineSections(log, settings);
  approval.document = mdTypeDefine::XMLDocument(
      "1.0.0",
      sections.startMenu +
          mdTypeDefine::XMLStringSPMList(log,
                                         kind == ApprovalKind::kStartup || approval.startProtection,
                                         approval.startRecords) +
          sections.windowSkill + mdTypeDefine::XMLStringDIList(autoRecover, approval.desktopIcons));
  return approval;
}

void RecordApproval(platform::Platform& pc, const ClientSettings& settings,
                    const Approval& approval) {
  util::Log log(pc, settings.ComponentFolder());
  const bool isWinNT = modMain::UF_IsWinNT(log);
  if (approval.kind == ApprovalKind::kDesktop) {
    const IconFolderPlaces places = DesktopFolderPlaces(log, settings, isWinNT);
    const std::string storeKey = DesktopIconStoreKey(settings);
    desktop::DesktopIconManager icons(log, storeKey);
    icons.SetIconFolders(places.user, places.common, places.backup, icons.LoadFilteringList(),
                         desktop::kModeDesktop);
    const std::size_t first =
        std::min(approval.desktopIcons.size(), static_cast<std::size_t>(icons.SpecialIconCount()));
    icons.Apply(
        desktop::IconList(approval.desktopIcons.begin() + static_cast<std::ptrdiff_t>(first),
                          approval.desktopIcons.end()),
        true, desktop::kModeDesktop);
    RequireBackedUp(pc, places, approval.approved);
    return;
  }
  const startup::StorePlaces places = startup::StorePlacesOf(settings.registryKey);
  Manager spm(log, places, isWinNT);
  if (approval.startProtection) {
    spm.List(approval.startRecords);
    for (const startup::LiveKey& live : startup::kLiveKeys) {
      const std::vector<Manager::Entry> start =
          spm.Entries(platform::kHKeyLocalMachine, startup::ListOf(places.startListKey, live));
      for (const ApprovedItem& item : approval.approved) {
        if (item.where != live.label) continue;
        if (std::none_of(start.begin(), start.end(), [&](const Manager::Entry& entry) {
              return SameEntryName(entry.name, item.name);
            })) {
          throw CommandError("could not write '" + item.name + "' into the start list of " +
                             item.where +
                             ", so it is not approved; the component was not "
                             "started");
        }
      }
    }
  }
  const IconFolderPlaces startupPlaces = StartupFolderPlaces(log, settings, isWinNT);
  desktop::IconFolders items(log);
  items.SetIconFolders(startupPlaces.user, startupPlaces.common, startupPlaces.backup,
                       {"desktop.ini"}, desktop::kModeStartup);
  items.Apply(approval.startupItems, true, desktop::kModeStartup);
  std::vector<ApprovedItem> approvedItems;
  for (const ApprovedItem& item : approval.approved) {
    if (!IsRunLabel(item.where)) approvedItems.push_back(item);
  }
  RequireBackedUp(pc, startupPlaces, approvedItems);
}

}  // namespace dav::host
