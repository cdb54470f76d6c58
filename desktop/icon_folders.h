// The folder icon machinery: keeps the icon files of a folder set (the user's folder and the
// all-users folder) equal to an approved list, with a backup folder as the memory of which
// icons were approved. Two folder sets exist, chosen by a mode number:
//
//   mode 0  the start-up folders, backup "...\Components\StartProgramManager\SPBackup",
//           "desktop.ini" never listed
//   mode 1  the desktop folders, backup "...\Components\DavIrizevez\DIBackup", the desktop
//           filtering list never listed
//
// An empty folder path means the set has no such folder; it is skipped everywhere. Icon
// names are file names without a folder and compare exactly (case-sensitive). In lists that
// describe the folders, diFlag 1 means present and approved, 0 present but not approved; in
// lists to apply, 1 means wanted and anything else not wanted.
//
// These are CCDavIrizevez's methods in the log: failures are reported under
// "CCDavIrizevez.<name>".
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "listdoc/md_type_define.h"
#include "util/log.h"

namespace dav::desktop {

using IconList = std::vector<mdTypeDefine::UType_DIData>;

inline constexpr int kModeStartup = 0;
inline constexpr int kModeDesktop = 1;

// One folder set.
struct IconFolderSet {
  std::string userFolder;
  std::string commonFolder;
  std::string backupFolder;
  std::unordered_set<std::string> filter;  // names never listed, so never touched
};

// True when a name from a list names an entry inside its folder and nothing else: not empty,
// not "." or "..", without "\", "/", ":" or a NUL.
bool IsPlainFileName(std::string_view name);

class IconFolders {
 public:
  explicit IconFolders(util::Log& log) : log_(log) {}

  // Keeps the folder set of the mode and makes its backup folder when it is missing.
  void SetIconFolders(const std::string& userFolder, const std::string& commonFolder,
                      const std::string& backupFolder, const std::vector<std::string>& filter,
                      int mode);

  // True when the mode's filter holds exactly this name.
  bool IsFilteredIcon(std::string_view name, int mode) const;

  // Appends a record per entry of the folder (files and subfolders alike, "." and ".." and
  // filtered names left out). Its flag is 1 when protection is off, the backup holds a
  // folder or a plain file of that name, or the entry is hidden or system (the backup cannot
  // hold it, so it cannot say it was not approved); else 0. A missing folder gives nothing.
  void GetIconListInFolder(IconList& list, const std::string& folder, bool isProtected,
                           const std::string& backupFolder, int mode);

  // Appends, with flag 1, every name in the backup folder that the list does not hold yet:
  // approved icons that have gone from the folders.
  void RecoverIconListFromBackupFolder(IconList& list, int mode);

  // Appends the icons of the user's and the all-users folder (a name can appear twice) and,
  // when protected, the approved icons that have gone.
  void GetList(IconList& list, bool isProtected, int mode);

  // Makes the folders match the wanted list: icons not wanted are deleted from both folders
  // and from the backup; wanted ones are backed up (when protected; existing copies stay)
  // and, when gone from both folders, copied back from the backup. Without protection the
  // backup is emptied. A wanted icon that is still without a backup copy after a protected
  // apply is logged once. A failure is logged and the next step runs.
  void Apply(const IconList& wanted, bool isProtected, int mode);

  // Records the icons present now as approved: copies every icon of the mode's folders that
  // the backup can hold into the backup (existing copies stay, nothing is deleted). True when
  // each of them has a copy there afterwards (false when the set has folders but no backup).
  bool BackUpPresent(int mode);

  // The folder set of a mode (an empty one for an unknown mode).
  const IconFolderSet& Folders(int mode) const;

  // Forgets the folder sets and filters (at Terminate).
  void Release();

 private:
  IconFolderSet* Set(int mode);
  void ApplyCurrent(const IconFolderSet& set, const mdTypeDefine::UType_DIData& icon,
                    const std::unordered_set<std::string>& wanted, bool isProtected);
  void RestoreWanted(const IconFolderSet& set, const std::string& name);

  util::Log& log_;
  std::array<IconFolderSet, 2> sets_;
};

}  // namespace dav::desktop
