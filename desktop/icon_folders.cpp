#include "desktop/icon_folders.h"

#include "fileutil/file_folder.h"
#include "util/mod_main.h"
#include "util/procedure.h"
#include "util/report_failure.h"
#include "util/run_time_error.h"

namespace dav::desktop {
namespace {

using mdTypeDefine::UType_DIData;

std::string Child(std::string_view folder, std::string_view name) {
  return std::string(folder) + "\\" + std::string(name);
}

// Makes a folder with the levels above it that are missing ("C:\A", "C:\A\B", ...).
void MakeFolders(util::Log& log, const std::string& path) {
  platform::FileSystem& files = log.platform().files();
  for (std::size_t at = path.find('\\', path.find(":\\") == 1 ? 3 : 0); at != std::string::npos;
       at = path.find('\\', at + 1)) {
    files.MakeFolder(path.substr(0, at));
  }
  const platform::Status status = files.MakeFolder(path);
  if (status != platform::kErrorSuccess && status != platform::kErrorAlreadyExists) {
    throw util::RunTimeError(util::kErrPathFileAccess, {},
                             "MkDir " + path + ": error " + std::to_string(status));
  }
}

// A folder's entries with their names cut at the first NUL, "." and ".." left out; none for
// a missing folder.
std::vector<platform::FileEntry> Entries(util::Log& log, const std::string& folder) {
  std::vector<platform::FileEntry> found;
  log.platform().files().FindFiles(Child(folder, "*"), fileutil::kAnyEntry, &found);
  std::vector<platform::FileEntry> entries;
  entries.reserve(found.size());
  for (platform::FileEntry& entry : found) {
    entry.name = modMain::Strz2Str(entry.name);
    if (entry.name != "." && entry.name != "..") entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<std::string> EntryNames(util::Log& log, const std::string& folder) {
  std::vector<std::string> names;
  for (platform::FileEntry& entry : Entries(log, folder)) names.push_back(std::move(entry.name));
  return names;
}

// True when the backup can hold a copy of the entry: the copy takes folders and plain files
// only, so a hidden or system entry never has one there.
bool CanBeBackedUp(const platform::FileEntry& entry) {
  return platform::MatchesAttributeMask(entry.attributes, fileutil::kFoldersAndFiles);
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("\\/:\0", 4)) == std::string_view::npos;
}

IconFolderSet* IconFolders::Set(int mode) {
  if (mode != kModeStartup && mode != kModeDesktop) return nullptr;
  return &sets_[static_cast<std::size_t>(mode)];
}

const IconFolderSet& IconFolders::Folders(int mode) const {
  static const IconFolderSet kNone;
  if (mode != kModeStartup && mode != kModeDesktop) return kNone;
  return sets_[static_cast<std::size_t>(mode)];
}

void IconFolders::SetIconFolders(const std::string& userFolder, const std::string& commonFolder,
                                 const std::string& backupFolder,
                                 const std::vector<std::string>& filter, int mode) {
  IconFolderSet* set = Set(mode);
  if (set == nullptr) return;
  set->userFolder = userFolder;
  set->commonFolder = commonFolder;
  set->backupFolder = backupFolder;
  set->filter = std::unordered_set<std::string>(filter.begin(), filter.end());
  // The backup folder lies below the host's folder, whose Components folder may not be there
  // yet: the missing levels are made too.
  if (!backupFolder.empty() && !fileutil::Exists(log_, backupFolder, fileutil::kFoldersAndFiles)) {
    MakeFolders(log_, backupFolder);
  }
}

bool IconFolders::IsFilteredIcon(std::string_view name, int mode) const {
  return Folders(mode).filter.contains(std::string(name));
}

void IconFolders::GetIconListInFolder(IconList& list, const std::string& folder, bool isProtected,
                                      const std::string& backupFolder, int mode) {
  util::ReportingFailures(log_, "CCDavIrizevez.GetIconListInFolder", [&] {
    for (platform::FileEntry& entry : Entries(log_, folder)) {
      if (IsFilteredIcon(entry.name, mode)) continue;
      // A folder or a plain file in the backup approves the icon; a hidden or system file
      // there does not (mask 16 finds both kinds, mask 0 only the plain files). An icon that
      // cannot be backed up has no copy there to tell, so it counts as approved: auto recover
      // would otherwise delete an approved desktop.ini at every start, with no copy anywhere.
      // A list that leaves it out still deletes it.
      const bool approved =
          !isProtected || !CanBeBackedUp(entry) ||
          (!backupFolder.empty() &&
           fileutil::Exists(log_, Child(backupFolder, entry.name), fileutil::kFoldersAndFiles));
      list.push_back(
          UType_DIData{std::move(entry.name), static_cast<std::int16_t>(approved ? 1 : 0)});
    }
  });
}

void IconFolders::RecoverIconListFromBackupFolder(IconList& list, int mode) {
  util::ReportingFailures(log_, "CCDavIrizevez.RecoverIconListFromBackupFolder", [&] {
    const std::string& backup = Folders(mode).backupFolder;
    if (backup.empty()) return;
    std::unordered_set<std::string> listed;
    listed.reserve(list.size());
    for (const UType_DIData& icon : list) listed.insert(icon.diFileName);
    for (std::string& name : EntryNames(log_, backup)) {
      if (IsFilteredIcon(name, mode) || listed.contains(name)) continue;
      list.push_back(UType_DIData{std::move(name), 1});
    }
  });
}

void IconFolders::GetList(IconList& list, bool isProtected, int mode) {
  util::ReportingFailures(log_, "CCDavIrizevez.GetList", [&] {
    const IconFolderSet& set = Folders(mode);
    if (!set.userFolder.empty()) {
      log_.Debug("모드 -> " + std::to_string(mode));
      log_.Debug("사용자의 바탕화면 -> " + set.userFolder);
      GetIconListInFolder(list, set.userFolder, isProtected, set.backupFolder, mode);
    }
    if (!set.commonFolder.empty()) {
      GetIconListInFolder(list, set.commonFolder, isProtected, set.backupFolder, mode);
    }
    if (isProtected) RecoverIconListFromBackupFolder(list, mode);
  });
}

void IconFolders::ApplyCurrent(const IconFolderSet& set, const UType_DIData& icon,
                               const std::unordered_set<std::string>& wanted, bool isProtected) {
  const std::string& name = icon.diFileName;
  if (!wanted.contains(name)) {
    if (!set.userFolder.empty()) fileutil::DeleteFileForce(log_, Child(set.userFolder, name));
    if (!set.commonFolder.empty()) fileutil::DeleteFileForce(log_, Child(set.commonFolder, name));
    if (!set.backupFolder.empty()) {
      fileutil::DeleteFileForce(log_, Child(set.backupFolder, name));
    }
  } else if (isProtected) {
    const std::string backup = Child(set.backupFolder, name);
    if (!set.userFolder.empty()) {
      fileutil::CopyFileAndFolder(log_, Child(set.userFolder, name), backup);
    }
    if (!set.commonFolder.empty()) {
      fileutil::CopyFileAndFolder(log_, Child(set.commonFolder, name), backup);
    }
  }
}

void IconFolders::RestoreWanted(const IconFolderSet& set, const std::string& name) {
  const auto there = [&](const std::string& folder) {
    return !folder.empty() && fileutil::Exists(log_, Child(folder, name), fileutil::kAnyEntry);
  };
  if (there(set.userFolder) || there(set.commonFolder)) return;
  const std::string& into = !set.userFolder.empty() ? set.userFolder : set.commonFolder;
  if (into.empty() || set.backupFolder.empty()) return;
  fileutil::CopyFileAndFolder(log_, Child(set.backupFolder, name), Child(into, name));
}

void IconFolders::Apply(const IconList& wanted, bool isProtected, int mode) {
  const IconFolderSet& set = Folders(mode);
  const auto logFailure = [this] {
    const util::Failure failure = util::CurrentFailure();
    log_.Debug("CCDavIrizevez.Apply " + std::to_string(failure.number) + "," + failure.description);
  };
  // A name from a list must name an entry inside the folders: one that climbs out of them
  // ("..\..\x.dll") or names another drive would have a file copied there from the backup.
  std::unordered_set<std::string> wantedNames;
  std::vector<const std::string*> restore;
  for (const UType_DIData& icon : wanted) {
    if (!IsPlainFileName(icon.diFileName)) {
      log_.Write("[skip:CCDavIrizevez.Apply] icon file name \"" + icon.diFileName +
                 "\" is no name within its folder");
      continue;
    }
    if (icon.diFlag == 1 && wantedNames.insert(icon.diFileName).second) {
      restore.push_back(&icon.diFileName);
    }
  }

  IconList current;
  try {
    GetList(current, isProtected, mode);
  } catch (...) {
    logFailure();
  }
  for (const UType_DIData& icon : current) {
    try {
      ApplyCurrent(set, icon, wantedNames, isProtected);
    } catch (...) {
      logFailure();
    }
  }
  if (isProtected && !set.backupFolder.empty()) {
    // A wanted icon the backup could not take (a hidden or system file) stays where it is;
    // it is said once per apply, whichever folders hold it.
    std::unordered_set<std::string> said;
    for (const UType_DIData& icon : current) {
      const std::string& name = icon.diFileName;
      if (!wantedNames.contains(name) || said.contains(name)) continue;
      try {
        if (!fileutil::Exists(log_, Child(set.backupFolder, name), fileutil::kFoldersAndFiles)) {
          said.insert(name);
          log_.Write("[keep:CCDavIrizevez.Apply] \"" + name +
                     "\" has no copy in the backup; it stays where it is");
        }
      } catch (...) {
        logFailure();
      }
    }
  }
  for (const std::string* name : restore) {
    try {
      RestoreWanted(set, *name);
    } catch (...) {
      logFailure();
    }
  }
  if (!isProtected && !set.backupFolder.empty()) {
    try {
      fileutil::DeleteFolder(log_, set.backupFolder, true, false);
    } catch (...) {
      logFailure();
    }
  }
}

bool IconFolders::BackUpPresent(int mode) {
  const IconFolderSet& set = Folders(mode);
  if (set.backupFolder.empty()) return set.userFolder.empty() && set.commonFolder.empty();
  bool whole = true;
  for (const std::string* folder : {&set.userFolder, &set.commonFolder}) {
    if (folder->empty()) continue;
    for (const platform::FileEntry& entry : Entries(log_, *folder)) {
      if (IsFilteredIcon(entry.name, mode) || !CanBeBackedUp(entry)) continue;
      const std::string backup = Child(set.backupFolder, entry.name);
      fileutil::CopyFileAndFolder(log_, Child(*folder, entry.name), backup);
      if (!fileutil::Exists(log_, backup, fileutil::kFoldersAndFiles)) whole = false;
    }
  }
  return whole;
}

void IconFolders::Release() {
  sets_ = {};
}

}  // namespace dav::desktop
