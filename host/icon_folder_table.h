// The icon files of one folder set (the desktop or the start-up folders) as the component's
// next start sees them, as rows of a table.
#pragma once

#include <string>
#include <vector>

#include "desktop/icon_folders.h"
#include "host/text_table.h"

namespace dav::host {

// A heading row (Folder, File, Approved, Next start), then each file of the user's and the
// all-users folder (an empty path is skipped) with its approval, a copy in the backup
// folder, and then the approved files that have gone from both, which the backup holds.
// While the next start enforces the set it keeps an approved file, deletes the others and
// restores the gone ones; a backup copy whose name differs from a present file's only in
// letter case is "already there", as the file system finds the present file under its name.
// Otherwise "Next start" is "-".
std::vector<TableRow> IconFolderRows(desktop::IconFolders& icons, const std::string& user,
                                     const std::string& common, const std::string& backup, int mode,
                                     bool enforced);

}  // namespace dav::host
