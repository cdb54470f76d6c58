#include "platform/sim/sim_file_system.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/sim/dos_attributes.h"
#include "platform/sim/host_errors.h"

namespace dav::platform::sim {
namespace {

namespace fs = std::filesystem;

// The names in a host folder, as readdir gives them (without "." and "..").
Status ReadFolderNames(const fs::path& folder, std::vector<std::string>* names) {
  names->clear();
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return StatusFromErrno(errno);
  while (const dirent* item = ::readdir(dir)) {
    std::string_view name = item->d_name;
    if (name != "." && name != "..") names->emplace_back(name);
  }
  ::closedir(dir);
  return kErrorSuccess;
}

// The name under which the entry that name stands for is stored in folder: the exact name
// when it exists, else the first (in listing order) that differs only in letter case.
// Empty when there is none.
std::string FindChild(const fs::path& folder, const std::string& name) {
  if (LookUpHostEntry(folder / name) != HostEntryType::kMissing) return name;
  std::vector<std::string> names;
  if (ReadFolderNames(folder, &names) != kErrorSuccess) return {};
  std::string best;
  for (const std::string& candidate : names) {
    if (NamesEqual(candidate, name) && (best.empty() || NameLess(candidate, best))) {
      best = candidate;
    }
  }
  return best;
}

bool IsListed(std::string_view name) {
  return IsValidEntryName(name) && name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix;
}

bool IsReadOnly(const fs::path& host, bool isDirectory) {
  return (ReadDosAttributes(host, isDirectory) & kAttrReadOnly) != 0;
}

}  // namespace

SimFileSystem::SimFileSystem(std::filesystem::path drivesRoot)
    : drivesRoot_(std::move(drivesRoot)) {}

Status SimFileSystem::ResolveFolder(const WindowsPath& path, std::size_t count,
                                    fs::path* folder) const {
  fs::path current = drivesRoot_ / std::string(1, path.drive);
  HostEntryType type = LookUpHostEntry(current);
  if (type == HostEntryType::kOther) return kErrorAccessDenied;
  if (type != HostEntryType::kDirectory) return kErrorPathNotFound;
  for (std::size_t i = 0; i < count; ++i) {
    std::string name = FindChild(current, path.names[i]);
    if (name.empty()) return kErrorPathNotFound;
    current /= name;
    type = LookUpHostEntry(current);
    if (type == HostEntryType::kOther) return kErrorAccessDenied;
    if (type != HostEntryType::kDirectory) return kErrorPathNotFound;
  }
  *folder = std::move(current);
  return kErrorSuccess;
}

Status SimFileSystem::Resolve(std::string_view windowsPath, Entry* entry) const {
  *entry = Entry{};
  WindowsPath path;
  Status status = ParseWindowsPath(windowsPath, false, &path);
  if (status != kErrorSuccess) return status;
  if (path.names.empty()) {
    entry->isRoot = true;
    status = ResolveFolder(path, 0, &entry->host);
    // The root of a drive the machine does not have is missing, not a folder in the way.
    if (status == kErrorSuccess) entry->type = HostEntryType::kDirectory;
    return status;
  }
  fs::path folder;
  status = ResolveFolder(path, path.names.size() - 1, &folder);
  if (status != kErrorSuccess) return status;
  std::string name = FindChild(folder, path.names.back());
  entry->host = folder / (name.empty() ? path.names.back() : name);
  entry->type = LookUpHostEntry(entry->host);
  entry->trailingSeparator = path.trailingSeparator;
  if (path.trailingSeparator && entry->type == HostEntryType::kFile) return kErrorInvalidName;
  return kErrorSuccess;
}

Status SimFileSystem::ResolveForWrite(std::string_view windowsPath, Entry* entry) const {
  Status status = Resolve(windowsPath, entry);
  if (status != kErrorSuccess) return status;
  if (entry->type == HostEntryType::kMissing) return kErrorSuccess;
  if (entry->type != HostEntryType::kFile || IsReadOnly(entry->host, false)) {
    return kErrorAccessDenied;
  }
  return kErrorSuccess;
}

fs::path SimFileSystem::HostPath(std::string_view windowsPath, Status* status) {
  Entry entry;
  Status result = Resolve(windowsPath, &entry);
  if (result == kErrorSuccess && entry.type == HostEntryType::kOther) result = kErrorAccessDenied;
  if (status != nullptr) *status = result;
  return result == kErrorSuccess ? entry.host : fs::path();
}

Status SimFileSystem::FindFiles(std::string_view pattern, std::uint32_t mask,
                                std::vector<FileEntry>* entries) {
  entries->clear();
  WindowsPath path;
  Status status = ParseWindowsPath(pattern, true, &path);
  if (status != kErrorSuccess) return status;
  // "C:\a\" names no entry in a; "C:\" names none at all.
  std::size_t folderDepth =
      path.trailingSeparator || path.names.empty() ? path.names.size() : path.names.size() - 1;
  fs::path folder;
  status = ResolveFolder(path, folderDepth, &folder);
  if (status != kErrorSuccess) return status;
  if (folderDepth == path.names.size()) return kErrorFileNotFound;

  const std::string& last = path.names.back();
  std::vector<FileEntry> found;
  auto addHostEntry = [&](const std::string& name) {
    std::uint64_t size = 0;
    HostEntryType type = LookUpHostEntry(folder / name, &size);
    if (type != HostEntryType::kFile && type != HostEntryType::kDirectory) return;
    bool isDirectory = type == HostEntryType::kDirectory;
    found.push_back({name, ReadDosAttributes(folder / name, isDirectory), size});
  };

  if (!HasWildcards(last)) {
    std::string name = FindChild(folder, last);
    if (!name.empty()) addHostEntry(name);
  } else {
    if (folderDepth > 0) {  // a drive's root has no "." and ".."
      for (const char* dots : {".", ".."}) {
        if (MatchesPattern(last, dots)) found.push_back({dots, kAttrDirectory, 0});
      }
    }
    std::vector<std::string> names;
    status = ReadFolderNames(folder, &names);
    if (status != kErrorSuccess) return status;
    std::sort(names.begin(), names.end(), NameLess);
    for (const std::string& name : names) {
      if (IsListed(name) && MatchesPattern(last, name)) addHostEntry(name);
    }
  }
  if (found.empty()) return kErrorFileNotFound;
  for (FileEntry& entry : found) {
    if (MatchesAttributeMask(entry.attributes, mask)) entries->push_back(std::move(entry));
  }
  return kErrorSuccess;
}

std::uint32_t SimFileSystem::GetAttributes(std::string_view path) {
  Entry entry;
  if (Resolve(path, &entry) != kErrorSuccess) return kInvalidAttributes;
  if (entry.type != HostEntryType::kFile && entry.type != HostEntryType::kDirectory) {
    return kInvalidAttributes;
  }
  return ReadDosAttributes(entry.host, entry.type == HostEntryType::kDirectory);
}

Status SimFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  Entry entry;
  Status status = Resolve(path, &entry);
  if (status != kErrorSuccess) return status;
  if (entry.type == HostEntryType::kMissing) return kErrorFileNotFound;
  if (entry.type == HostEntryType::kOther) return kErrorAccessDenied;
  return WriteDosAttributes(entry.host, entry.type == HostEntryType::kDirectory, attributes);
}

Status SimFileSystem::Copy(std::string_view from, std::string_view to, bool failIfExists) {
  Entry source;
  Status status = Resolve(from, &source);
  if (status != kErrorSuccess) return status;
  if (source.type == HostEntryType::kMissing) return kErrorFileNotFound;
  if (source.type != HostEntryType::kFile) return kErrorAccessDenied;

  Entry target;
  status = Resolve(to, &target);
  if (status != kErrorSuccess) return status;
  if (target.trailingSeparator && target.type == HostEntryType::kMissing) return kErrorInvalidName;
  if (target.type != HostEntryType::kMissing) {
    if (failIfExists) return kErrorFileExists;
    // CopyFileA opens the target as CreateFileA with CREATE_ALWAYS does, which refuses a
    // read-only file and a hidden one.
    if (target.type != HostEntryType::kFile ||
        (ReadDosAttributes(target.host, false) & (kAttrReadOnly | kAttrHidden)) != 0) {
      return kErrorAccessDenied;
    }
    if (target.host == source.host) return kErrorSharingViolation;
  }

  std::string bytes;
  status = ReadHostFile(source.host, &bytes);
  if (status != kErrorSuccess) return status;
  return WriteFileAtomically(target.host, bytes, ReadDosAttributes(source.host, false));
}

Status SimFileSystem::Delete(std::string_view path) {
  Entry entry;
  Status status = Resolve(path, &entry);
  if (status != kErrorSuccess) return status;
  if (entry.type == HostEntryType::kMissing) return kErrorFileNotFound;
  if (entry.type != HostEntryType::kFile || IsReadOnly(entry.host, false)) {
    return kErrorAccessDenied;
  }
  return ::unlink(entry.host.c_str()) == 0 ? kErrorSuccess : StatusFromErrno(errno);
}

Status SimFileSystem::MakeFolder(std::string_view path) {
  Entry entry;
  Status status = Resolve(path, &entry);
  // An entry in the way, a file named with a separator after it too.
  if (entry.type != HostEntryType::kMissing) return kErrorAlreadyExists;
  if (status != kErrorSuccess) return status;
  return ::mkdir(entry.host.c_str(), 0755) == 0 ? kErrorSuccess : StatusFromErrno(errno);
}

Status SimFileSystem::RemoveFolder(std::string_view path) {
  Entry entry;
  Status status = Resolve(path, &entry);
  if (status != kErrorSuccess) return status;
  if (entry.isRoot) return kErrorAccessDenied;
  if (entry.type == HostEntryType::kMissing) return kErrorFileNotFound;
  if (entry.type == HostEntryType::kFile) return kErrorDirectory;
  // Windows refuses a read-only folder as it refuses a read-only file.
  if (entry.type == HostEntryType::kOther || IsReadOnly(entry.host, true)) {
    return kErrorAccessDenied;
  }
  if (::rmdir(entry.host.c_str()) == 0) return kErrorSuccess;
  return errno == EEXIST ? kErrorDirNotEmpty : StatusFromErrno(errno);
}

Status SimFileSystem::ReadAll(std::string_view path, std::string* bytes) {
  bytes->clear();
  Entry entry;
  Status status = Resolve(path, &entry);
  if (status != kErrorSuccess) return status;
  if (entry.type == HostEntryType::kMissing) return kErrorFileNotFound;
  if (entry.type != HostEntryType::kFile) return kErrorAccessDenied;
  return ReadHostFile(entry.host, bytes);
}

Status SimFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
  Entry entry;
  Status status = ResolveForWrite(path, &entry);
  // The temporary file of a whole-file write goes into the folder that holds the target;
  // with a separator after the target's name that folder is the target, which is none.
  if (entry.trailingSeparator && entry.type != HostEntryType::kDirectory &&
      (status == kErrorSuccess || status == kErrorInvalidName)) {
    return kErrorPathNotFound;
  }
  if (status != kErrorSuccess) return status;
  std::optional<std::uint32_t> attributes;
  if (entry.type == HostEntryType::kFile) attributes = ReadDosAttributes(entry.host, false);
  return WriteFileAtomically(entry.host, bytes, attributes);
}

Status SimFileSystem::Append(std::string_view path, std::string_view bytes) {
  Entry entry;
  Status status = ResolveForWrite(path, &entry);
  if (status != kErrorSuccess) return status;
  if (entry.trailingSeparator && entry.type == HostEntryType::kMissing) return kErrorInvalidName;
  return AppendHostFile(entry.host, bytes);
}

}  // namespace dav::platform::sim
