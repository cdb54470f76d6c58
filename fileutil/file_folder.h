// Copying and deleting the icon files and folders of the desktop and the start-up folders.
// Copies never overwrite an existing file; deletes clear the attributes first, so that
// read-only, hidden and system files go too. Folders are handled one level at a time,
// recursing into subfolders. Paths are full Windows paths without a trailing backslash.
//
// These are CCDavIrizevez's methods in the log: failures are reported under
// "CCDavIrizevez.<name>".
#pragma once

#include <cstdint>
#include <string_view>

#include "util/log.h"

namespace dav::fileutil {

// The attribute masks of a listing that looks for an entry: any kind of entry (read-only,
// hidden, system, directory, archive); folders and plain files; plain files only (read-only
// and archive ones included, never hidden or system ones).
inline constexpr std::uint32_t kAnyEntry = 55;
inline constexpr std::uint32_t kFoldersAndFiles = 16;
inline constexpr std::uint32_t kPlainFiles = 0;

// True when a listing of the path with the mask finds an entry.
bool Exists(util::Log& log, std::string_view path, std::uint32_t mask);

// Copies a folder (with CopyFolder) or a plain file (never overwriting) from source to
// target. An empty path, a missing source or a hidden or system source file copies nothing.
// A failure is reported under "CCDavIrizevez.CopyFileAndFolder" and raised again.
void CopyFileAndFolder(util::Log& log, std::string_view source, std::string_view target);

// Copies a folder tree: the target is made when missing, files already in it stay as they
// are. Ends silently at a failure.
void CopyFolder(util::Log& log, std::string_view source, std::string_view target);

// Deletes a file or a folder tree whatever its attributes, with the log line
// "### DeleteFileAndFolderForce <path>". Nothing there: nothing happens, nothing is logged.
// A failure is reported under "CCDavIrizevez.DeleteFileForce" and raised again.
void DeleteFileForce(util::Log& log, std::string_view path);

// Deletes everything in a folder; without keep, the folder too. With ignoreErrors a failing
// step is skipped; without it the failure is reported under "CCDavIrizevez.DeleteFolder" and
// raised again, and the deletion stops there. A missing folder is nothing to do.
void DeleteFolder(util::Log& log, std::string_view folder, bool keep, bool ignoreErrors);

}  // namespace dav::fileutil
