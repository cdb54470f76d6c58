#include "host/icon_folder_table.h"

#include <unordered_set>
#include <utility>

namespace dav::host {
namespace {

// A file name as the file system compares it: without regard to the case of its letters.
std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace

std::vector<TableRow> IconFolderRows(desktop::IconFolders& icons, const std::string& user,
                                     const std::string& common, const std::string& backup, int mode,
                                     bool enforced) {
  std::vector<TableRow> rows{{"Folder", "File", "Approved", "Next start"}};
  // The names in the folders, folded: a backup copy whose name differs from a present file's
  // only in letter case is not restored, as the file system finds the present one under it.
  std::unordered_set<std::string> presentNames;
  const auto add = [&](const std::string& where, const desktop::IconList& list, std::size_t from) {
    for (std::size_t i = from; i < list.size(); ++i) {
      const bool approved = list[i].diFlag == 1;
      const bool backup = where == "backup";
      if (!backup) presentNames.insert(Folded(list[i].diFileName));
      const char* next =
          !enforced ? "-"
          : backup
              ? (presentNames.contains(Folded(list[i].diFileName)) ? "already there" : "restored")
          : approved ? "kept"
                     : "deleted";
      rows.push_back({where, list[i].diFileName, approved ? "yes" : "no", next});
    }
  };
  desktop::IconList present;
  for (const auto& [where, folder] : {std::pair{"user", user}, std::pair{"all users", common}}) {
    if (folder.empty()) continue;
    desktop::IconList list;
    icons.GetIconListInFolder(list, folder, true, backup, mode);
    add(where, list, 0);
    present.insert(present.end(), list.begin(), list.end());
  }
  const std::size_t count = present.size();
  icons.RecoverIconListFromBackupFolder(present, mode);
  add("backup", present, count);
  return rows;
}

}  // namespace dav::host
