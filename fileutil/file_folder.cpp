#include "fileutil/file_folder.h"

#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "util/procedure.h"
#include "util/report_failure.h"
#include "util/run_time_error.h"

namespace dav::fileutil {
namespace {

using platform::FileEntry;
using platform::FileSystem;
using platform::Status;

std::string Child(std::string_view folder, std::string_view name) {
  return std::string(folder) + "\\" + std::string(name);
}

// A failed attribute change or folder removal is a run-time error, as the run-time's SetAttr
// and RmDir raise one; failing copies and file deletions are not looked at.
void Check(Status status, std::string_view what, std::string_view path) {
  if (status == platform::kErrorSuccess) return;
  const std::int32_t number = status == platform::kErrorFileNotFound   ? util::kErrFileNotFound
                              : status == platform::kErrorPathNotFound ? util::kErrPathNotFound
                                                                       : util::kErrPathFileAccess;
  throw util::RunTimeError(
      number, {},
      std::string(what) + " " + std::string(path) + ": error " + std::to_string(status));
}

// The entries of a folder for every attribute, without "." and "..", taken before anything
// in the folder is changed.
std::vector<FileEntry> FolderEntries(FileSystem& files, std::string_view folder) {
  std::vector<FileEntry> entries;
  files.FindFiles(Child(folder, "*.*"), kAnyEntry, &entries);
  std::erase_if(entries, [](const FileEntry& e) { return e.name == "." || e.name == ".."; });
  return entries;
}

bool IsFolder(std::uint32_t attributes) {
  return attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory) != 0;
}

}  // namespace

bool Exists(util::Log& log, std::string_view path, std::uint32_t mask) {
  std::vector<FileEntry> entries;
  return log.platform().files().FindFiles(path, mask, &entries) == platform::kErrorSuccess &&
         !entries.empty();
}

void CopyFileAndFolder(util::Log& log, std::string_view source, std::string_view target) {
  util::ReportingFailures(log, "CCDavIrizevez.CopyFileAndFolder", [&] {
    if (source.empty() || target.empty()) return;
    if (!Exists(log, source, kAnyEntry)) return;
    FileSystem& files = log.platform().files();
    if (IsFolder(files.GetAttributes(source)) && Exists(log, source, kFoldersAndFiles)) {
      CopyFolder(log, source, target);
    } else if (Exists(log, source, kPlainFiles)) {
      files.Copy(source, target, true);  // an existing target stays as it is
    }
  });
}

void CopyFolder(util::Log& log, std::string_view source, std::string_view target) {
  try {
    if (!Exists(log, source, kFoldersAndFiles)) return;
    FileSystem& files = log.platform().files();
    if (!Exists(log, target, kFoldersAndFiles)) files.MakeFolder(target);
    for (const FileEntry& entry : FolderEntries(files, source)) {
      const std::string from = Child(source, entry.name);
      const std::string to = Child(target, entry.name);
      if (IsFolder(entry.attributes)) {
        CopyFolder(log, from, to);
      } else {
        files.Copy(from, to, true);
      }
    }
  } catch (...) {
    // A copy of a tree ends at its first failure without a word.
  }
}

void DeleteFileForce(util::Log& log, std::string_view path) {
  util::ReportingFailures(log, "CCDavIrizevez.DeleteFileForce", [&] {
    if (path.empty() || !Exists(log, path, kAnyEntry)) return;
    log.Write("### DeleteFileAndFolderForce " + std::string(path));
    FileSystem& files = log.platform().files();
    const bool folder = IsFolder(files.GetAttributes(path));
    Check(files.SetAttributes(path, 0), "SetAttr", path);
    if (folder) {
      DeleteFolder(log, path, false, false);
    } else {
      files.Delete(path);
    }
  });
}

void DeleteFolder(util::Log& log, std::string_view folder, bool keep, bool ignoreErrors) {
  util::ReportingFailures(log, "CCDavIrizevez.DeleteFolder", [&] {
    if (!Exists(log, folder, kFoldersAndFiles)) return;
    FileSystem& files = log.platform().files();
    // Each statement is one step: with ignoreErrors a failing one is skipped.
    const auto step = [ignoreErrors](const std::function<void()>& body) {
      try {
        body();
      } catch (...) {
        if (!ignoreErrors) throw;
      }
    };
    for (const FileEntry& entry : FolderEntries(files, folder)) {
      const std::string path = Child(folder, entry.name);
      step([&] { Check(files.SetAttributes(path, 0), "SetAttr", path); });
      if (IsFolder(entry.attributes)) {
        step([&] { DeleteFolder(log, path, false, false); });
      } else {
        files.Delete(path);
      }
    }
    if (!keep) {
      step([&] { Check(files.SetAttributes(folder, 0), "SetAttr", folder); });
      step([&] { Check(files.RemoveFolder(folder), "RmDir", folder); });
    }
  });
}

}  // namespace dav::fileutil
