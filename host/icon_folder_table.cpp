#include "host/icon_folder_table.h"

#include <utility>

namespace dav::host {

std::vector<TableRow> IconFolderRows(desktop::IconFolders& icons, const std::string& user,
                                     const std::string& common, const std::string& backup, int mode,
                                     bool enforced) {
  std::vector<TableRow> rows{{"Folder", "File", "Approved", "Next start"}};
  const auto add = [&](const std::string& where, const desktop::IconList& list, std::size_t from) {
    for (std::size_t i = from; i < list.size(); ++i) {
      const bool approved = list[i].diFlag == 1;
      const char* next = !enforced           ? "-"
                         : where == "backup" ? "restored"
                         : approved          ? "kept"
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
