#include "platform/sim/sim_file_system.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "platform/sim/dos_attributes.h"
#include "platform/sim/host_errors.h"

namespace dav::platform::sim {
namespace {

namespace fs = std::filesystem;

// A host path's folder and its last name, and a name joined onto a folder, as text.
std::string_view ParentOf(std::string_view host) {
  return host.substr(0, host.rfind('/'));
}
std::string_view LastNameOf(std::string_view host) {
  return host.substr(host.rfind('/') + 1);
}
std::string Joined(std::string_view folder, std::string_view name) {
  std::string host;
  host.reserve(folder.size() + 1 + name.size());
  host.append(folder).append(1, '/').append(name);
  return host;
}

// The names in a host folder, as readdir gives them (without "." and "..").
Status ReadFolderNames(const std::string& folder, std::vector<std::string>* names) {
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

// A name as the folder index keys it: letters folded as NamesEqual folds them.
void AppendFolded(std::string_view name, std::string* to) {
  for (char c : name) to->push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
}
std::string Folded(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  AppendFolded(name, &folded);
  return folded;
}

// What changes when a folder's entries change: its inode, modification and change times.
struct FolderStamp {
  ino_t inode = 0;
  timespec modified{};
  timespec changed{};

  bool operator==(const FolderStamp& other) const {
    return inode == other.inode && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec && changed.tv_sec == other.changed.tv_sec &&
           changed.tv_nsec == other.changed.tv_nsec;
  }
};

std::optional<FolderStamp> StampOf(const std::string& folder) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return FolderStamp{info.st_ino, info.st_mtim, info.st_ctim};
}

// Folders indexed at once; beyond that the indexes start afresh.
constexpr std::size_t kMostIndexedFolders = 64;
// Folder paths remembered at once; beyond that they start afresh.
constexpr std::size_t kMostResolvedFolders = 1024;
// Entries looked up remembered at once while this process alone writes.
constexpr std::size_t kMostKnownEntries = 65536;
// Windows paths remembered at once while this process alone writes.
constexpr std::size_t kMostResolvedPaths = 4096;
// Changed entries noted at once; beyond that the notes give up (see Changes).
constexpr std::size_t kMostNotedChanges = 4096;

bool IsListed(std::string_view name) {
  return IsValidEntryName(name) && name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix;
}

}  // namespace

struct SimFileSystem::FolderIndex {
  FolderStamp stamp;
  // Folded name -> the stored name that a look-up finds: of names that differ only in letter
  // case, the first in listing order.
  std::unordered_map<std::string, std::string> names;
  // While this process alone writes: every stored name, in listing order, so that a folder
  // listed again is not read again.
  std::optional<std::vector<std::string>> listing;
};

SimFileSystem::FolderIndex& SimFileSystem::IndexFolder(const std::string& folder,
                                                       std::vector<std::string> stored) const {
  auto index = std::make_unique<FolderIndex>();
  std::sort(stored.begin(), stored.end(), NameLess);
  for (const std::string& candidate : stored)
    index->names.try_emplace(Folded(candidate), candidate);
  if (soleWriter_) index->listing = std::move(stored);
  if (folderIndexes_.size() >= kMostIndexedFolders) folderIndexes_.clear();
  FolderIndex& made = *index;
  folderIndexes_.insert_or_assign(folder, std::move(index));
  return made;
}

SimFileSystem::SimFileSystem(std::filesystem::path drivesRoot)
    : drivesRoot_(std::move(drivesRoot).native()) {
  while (drivesRoot_.size() > 1 && drivesRoot_.back() == '/') drivesRoot_.pop_back();
}

SimFileSystem::~SimFileSystem() = default;

// The name under which the entry that name stands for is stored in folder: the exact name
// when it exists, else the first (in listing order) that differs only in letter case.
// Empty when there is none.
std::string SimFileSystem::FindChild(const std::string& folder, const std::string& name,
                                     HostEntryType* type) const {
  // While this process alone writes, a folder's index holds every name in it: a name it
  // lacks in every letter case is missing without a look at the disk.
  if (soleWriter_ && IndexIsCurrent(folder) &&
      !folderIndexes_.find(folder)->second->names.contains(Folded(name))) {
    if (type != nullptr) *type = HostEntryType::kMissing;
    return {};
  }
  const HostEntryType exact = LookUp(Joined(folder, name));
  if (type != nullptr) *type = exact;
  if (exact != HostEntryType::kMissing) return name;
  if (!IndexIsCurrent(folder)) {
    const std::optional<FolderStamp> stamp = StampOf(folder);
    std::vector<std::string> stored;
    if (!stamp || ReadFolderNames(folder, &stored) != kErrorSuccess) return {};
    IndexFolder(folder, std::move(stored)).stamp = *stamp;
  }
  const FolderIndex& index = *folderIndexes_.find(folder)->second;
  const auto found = index.names.find(Folded(name));
  if (found == index.names.end()) return {};
  if (type != nullptr) *type = LookUp(Joined(folder, found->second));
  return found->second;
}

bool SimFileSystem::IndexIsCurrent(std::string_view folder) const {
  const auto found = folderIndexes_.find(folder);
  if (found == folderIndexes_.end()) return false;
  // While this process alone changes the files, it keeps the index up to date itself.
  if (soleWriter_ || StampOf(found->first) == found->second->stamp) return true;
  folderIndexes_.erase(found);
  return false;
}

void SimFileSystem::NoteEntry(const std::string& host, bool wasCurrent, bool added) const {
  const auto found = folderIndexes_.find(ParentOf(host));
  if (found == folderIndexes_.end()) return;
  const std::optional<FolderStamp> stamp =
      soleWriter_ ? std::optional(found->second->stamp) : StampOf(found->first);
  if (!wasCurrent || !added || !stamp) {
    folderIndexes_.erase(found);
    return;
  }
  FolderIndex& index = *found->second;
  std::string name(LastNameOf(host));
  if (index.listing) {
    std::vector<std::string>& listing = *index.listing;
    const auto at = std::lower_bound(listing.begin(), listing.end(), name, NameLess);
    if (at == listing.end() || *at != name) listing.insert(at, name);
  }
  std::string& best = index.names[Folded(name)];
  if (best.empty() || NameLess(name, best)) best = std::move(name);
  index.stamp = *stamp;
}

Status SimFileSystem::ResolveFolder(const WindowsPath& path, std::size_t count,
                                    std::string* folder) const {
  // The key of the deepest folder, its drive letter and names folded and joined by "\\";
  // the key of the folder of names[0, i) is its first ends[i] characters.
  std::string key(1, static_cast<char>(std::tolower(static_cast<unsigned char>(path.drive))));
  std::vector<std::size_t> ends(count + 1, 1);
  for (std::size_t i = 0; i < count; ++i) {
    key.push_back('\\');
    AppendFolded(path.names[i], &key);
    ends[i + 1] = key.size();
  }

  // Start below the deepest folder remembered, when the host still has it.
  std::size_t depth = 0;
  std::string current;
  for (std::size_t i = count; i > 0 && current.empty(); --i) {
    const auto found = resolvedFolders_.find(std::string_view(key).substr(0, ends[i]));
    if (found == resolvedFolders_.end()) continue;
    if (LookUp(found->second) != HostEntryType::kDirectory) {
      resolvedFolders_.clear();
      break;
    }
    current = found->second;
    depth = i;
  }
  if (current.empty()) {
    current = Joined(drivesRoot_, std::string(1, path.drive));
    const HostEntryType type = LookUp(current);
    if (type == HostEntryType::kOther) return kErrorAccessDenied;
    if (type != HostEntryType::kDirectory) return kErrorPathNotFound;
  }
  for (std::size_t i = depth; i < count; ++i) {
    HostEntryType type = HostEntryType::kMissing;
    std::string name = FindChild(current, path.names[i], &type);
    if (name.empty()) return kErrorPathNotFound;
    current.push_back('/');
    current += name;
    if (type == HostEntryType::kOther) return kErrorAccessDenied;
    if (type != HostEntryType::kDirectory) return kErrorPathNotFound;
    if (resolvedFolders_.size() >= kMostResolvedFolders) resolvedFolders_.clear();
    resolvedFolders_.insert_or_assign(key.substr(0, ends[i + 1]), current);
  }
  *folder = std::move(current);
  return kErrorSuccess;
}

Status SimFileSystem::Resolve(std::string_view windowsPath, Entry* entry) const {
  if (soleWriter_) {
    const Entry* remembered = nullptr;
    if (const auto found = resolvedPaths_.find(windowsPath); found != resolvedPaths_.end()) {
      remembered = &found->second;
    } else if (const auto missed = missedPaths_.find(windowsPath); missed != missedPaths_.end()) {
      remembered = &missed->second;
    }
    if (remembered != nullptr) {
      *entry = *remembered;
      entry->type = LookUp(entry->host);
      if (entry->trailingSeparator && entry->type == HostEntryType::kFile) return kErrorInvalidName;
      return kErrorSuccess;
    }
  }
  const Status status = ResolveAnew(windowsPath, entry);
  if (soleWriter_ && status == kErrorSuccess) {
    // A name made later may be the entry a missing name resolves onto (in another letter
    // case), but never changes what a found name resolves onto: the two are kept apart.
    TextMap<Entry>& paths = entry->type == HostEntryType::kMissing ? missedPaths_ : resolvedPaths_;
    if (paths.size() >= kMostResolvedPaths) paths.clear();
    paths.emplace(windowsPath, *entry);
  }
  return status;
}

Status SimFileSystem::ResolveAnew(std::string_view windowsPath, Entry* entry) const {
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
  std::string folder;
  status = ResolveFolder(path, path.names.size() - 1, &folder);
  if (status != kErrorSuccess) return status;
  HostEntryType type = HostEntryType::kMissing;
  std::string name = FindChild(folder, path.names.back(), &type);
  entry->host = Joined(folder, name.empty() ? path.names.back() : name);
  entry->type = type;
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

void SimFileSystem::SetSoleWriter(bool sole) {
  soleWriter_ = sole;
  known_.clear();
  resolvedPaths_.clear();
  missedPaths_.clear();
  // Indexes kept up to date without a look at the disk have no stamp to be checked by, and
  // an index from before may miss what changed since.
  folderIndexes_.clear();
}

void SimFileSystem::NoteChanges(bool on) {
  noting_ = on;
  notedAll_ = true;
  noted_.clear();
}

const std::set<std::string>* SimFileSystem::Changes() const {
  return noting_ && notedAll_ ? &noted_ : nullptr;
}

void SimFileSystem::Noted(const std::string& host) const {
  if (!noting_ || !notedAll_) return;
  if (noted_.size() >= kMostNotedChanges) {
    notedAll_ = false;
    noted_.clear();
    return;
  }
  noted_.insert(host);
}

void SimFileSystem::ForgetEntries(const std::set<std::string>& hosts) {
  for (const std::string& host : hosts) {
    known_.erase(host);
    folderIndexes_.erase(host);
    if (const auto parent = folderIndexes_.find(ParentOf(host)); parent != folderIndexes_.end()) {
      folderIndexes_.erase(parent);
    }
  }
  std::erase_if(resolvedFolders_,
                [&](const auto& folder) { return hosts.contains(folder.second); });
  resolvedPaths_.clear();
  missedPaths_.clear();
}

void SimFileSystem::ForgetAll() {
  known_.clear();
  resolvedPaths_.clear();
  missedPaths_.clear();
  folderIndexes_.clear();
  resolvedFolders_.clear();
}

SimFileSystem::Known& SimFileSystem::KnownEntry(const std::string& host) const {
  if (known_.size() >= kMostKnownEntries) known_.clear();
  if (const auto found = known_.find(host); found != known_.end()) return found->second;
  Known& known = known_[host];
  known.type = LookUpHostEntry(host, &known.size);
  return known;
}

HostEntryType SimFileSystem::LookUp(const std::string& host, std::uint64_t* size) const {
  if (!soleWriter_) return LookUpHostEntry(host, size);
  const Known& known = KnownEntry(host);
  if (size != nullptr) *size = known.size;
  return known.type;
}

std::uint32_t SimFileSystem::Attributes(const std::string& host, bool isDirectory) const {
  if (!soleWriter_) return ReadDosAttributes(host, isDirectory);
  Known& known = KnownEntry(host);
  if (!known.attributes) known.attributes = ReadDosAttributes(host, isDirectory);
  return *known.attributes;
}

bool SimFileSystem::IsReadOnly(const std::string& host, bool isDirectory) const {
  return (Attributes(host, isDirectory) & kAttrReadOnly) != 0;
}

void SimFileSystem::Forget(const std::string& host) const {
  known_.erase(host);
}

void SimFileSystem::Written(const std::string& host, Status status, std::uint64_t size) const {
  Forget(host);
  // A whole file written is a file of that size; its attributes are read when asked for.
  if (soleWriter_ && status == kErrorSuccess) known_[host] = Known{HostEntryType::kFile, size, {}};
}

fs::path SimFileSystem::HostPath(std::string_view windowsPath, Status* status) {
  Entry entry;
  Status result = Resolve(windowsPath, &entry);
  if (result == kErrorSuccess && entry.type == HostEntryType::kOther) result = kErrorAccessDenied;
  if (status != nullptr) *status = result;
  return result == kErrorSuccess ? fs::path(entry.host) : fs::path();
}

Status SimFileSystem::FindFiles(std::string_view pattern, std::uint32_t mask,
                                std::vector<FileEntry>* entries) {
  entries->clear();
  // One name, without wildcards and not a folder's own path ("C:\a\"), is found as Resolve
  // finds it, through the paths remembered while this process alone writes: the icon tasks
  // ask after the same few paths again and again.
  if (soleWriter_ && !pattern.empty() && pattern.back() != '\\' && pattern.back() != '/' &&
      !HasWildcards(pattern)) {
    Entry entry;
    const Status status = Resolve(pattern, &entry);
    if (status != kErrorSuccess) return status;
    if (entry.isRoot) return kErrorFileNotFound;
    // Resolve's kind is current (a missing name may come from the folder's index alone).
    if (entry.type != HostEntryType::kFile && entry.type != HostEntryType::kDirectory) {
      return kErrorFileNotFound;
    }
    std::uint64_t size = 0;
    LookUp(entry.host, &size);
    const bool isDirectory = entry.type == HostEntryType::kDirectory;
    FileEntry found{std::string(LastNameOf(entry.host)), Attributes(entry.host, isDirectory), size};
    if (MatchesAttributeMask(found.attributes, mask)) entries->push_back(std::move(found));
    return kErrorSuccess;
  }
  WindowsPath path;
  Status status = ParseWindowsPath(pattern, true, &path);
  if (status != kErrorSuccess) return status;
  // "C:\a\" names no entry in a; "C:\" names none at all.
  std::size_t folderDepth =
      path.trailingSeparator || path.names.empty() ? path.names.size() : path.names.size() - 1;
  std::string folder;
  status = ResolveFolder(path, folderDepth, &folder);
  if (status != kErrorSuccess) return status;
  if (folderDepth == path.names.size()) return kErrorFileNotFound;

  const std::string& last = path.names.back();
  std::vector<FileEntry> found;
  auto addHostEntry = [&](const std::string& name) {
    std::uint64_t size = 0;
    const std::string host = Joined(folder, name);
    HostEntryType type = LookUp(host, &size);
    if (type != HostEntryType::kFile && type != HostEntryType::kDirectory) return;
    bool isDirectory = type == HostEntryType::kDirectory;
    found.push_back({name, Attributes(host, isDirectory), size});
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
    // While this process alone writes, a folder listed or indexed before is not read again.
    const FolderIndex* index =
        soleWriter_ && IndexIsCurrent(folder) ? folderIndexes_.find(folder)->second.get() : nullptr;
    std::vector<std::string> read;
    if (index == nullptr || !index->listing) {
      status = ReadFolderNames(folder, &read);
      if (status != kErrorSuccess) return status;
      if (soleWriter_) {
        // No stamp: it is not consulted while sole, and the indexes go when that ends.
        index = &IndexFolder(folder, std::move(read));
      } else {
        std::sort(read.begin(), read.end(), NameLess);
      }
    }
    const std::vector<std::string>& names = index != nullptr ? *index->listing : read;
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
  return Attributes(entry.host, entry.type == HostEntryType::kDirectory);
}

Status SimFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  Entry entry;
  Status status = Resolve(path, &entry);
  if (status != kErrorSuccess) return status;
  if (entry.type == HostEntryType::kMissing) return kErrorFileNotFound;
  if (entry.type == HostEntryType::kOther) return kErrorAccessDenied;
  Forget(entry.host);
  Noted(entry.host);
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
        (Attributes(target.host, false) & (kAttrReadOnly | kAttrHidden)) != 0) {
      return kErrorAccessDenied;
    }
    if (target.host == source.host) return kErrorSharingViolation;
  }

  std::string bytes;
  status = ReadHostFile(source.host, &bytes);
  if (status != kErrorSuccess) return status;
  const bool current = IndexIsCurrent(ParentOf(target.host));
  Noted(target.host);
  if (target.type == HostEntryType::kMissing) EntryMade();
  status = WriteFileAtomically(target.host, bytes, Attributes(source.host, false));
  Written(target.host, status, bytes.size());
  NoteEntry(target.host, current, status == kErrorSuccess);
  return status;
}

Status SimFileSystem::Delete(std::string_view path) {
  Entry entry;
  Status status = Resolve(path, &entry);
  if (status != kErrorSuccess) return status;
  if (entry.type == HostEntryType::kMissing) return kErrorFileNotFound;
  if (entry.type != HostEntryType::kFile || IsReadOnly(entry.host, false)) {
    return kErrorAccessDenied;
  }
  Noted(entry.host);
  EntriesRemoved();
  const Status result = ::unlink(entry.host.c_str()) == 0 ? kErrorSuccess : StatusFromErrno(errno);
  Forget(entry.host);
  NoteEntry(entry.host, false, false);
  return result;
}

Status SimFileSystem::MakeFolder(std::string_view path) {
  Entry entry;
  Status status = Resolve(path, &entry);
  // An entry in the way, a file named with a separator after it too.
  if (entry.type != HostEntryType::kMissing) return kErrorAlreadyExists;
  if (status != kErrorSuccess) return status;
  const bool current = IndexIsCurrent(ParentOf(entry.host));
  Noted(entry.host);
  EntryMade();
  const Status result =
      ::mkdir(entry.host.c_str(), 0755) == 0 ? kErrorSuccess : StatusFromErrno(errno);
  Forget(entry.host);
  NoteEntry(entry.host, current, result == kErrorSuccess);
  return result;
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
  Noted(entry.host);
  EntriesRemoved();
  const int removed = ::rmdir(entry.host.c_str());
  const int error = errno;
  resolvedFolders_.clear();
  known_.clear();
  folderIndexes_.clear();  // the folder's own among them, should it be made again
  if (removed == 0) return kErrorSuccess;
  return error == EEXIST ? kErrorDirNotEmpty : StatusFromErrno(error);
}

Status SimFileSystem::ResolveForRead(std::string_view path, Entry* entry) const {
  const Status status = Resolve(path, entry);
  if (status != kErrorSuccess) return status;
  if (entry->type == HostEntryType::kMissing) return kErrorFileNotFound;
  if (entry->type != HostEntryType::kFile) return kErrorAccessDenied;
  return kErrorSuccess;
}

Status SimFileSystem::ReadAll(std::string_view path, std::string* bytes) {
  bytes->clear();
  Entry entry;
  const Status status = ResolveForRead(path, &entry);
  return status != kErrorSuccess ? status : ReadHostFile(entry.host, bytes);
}

Status SimFileSystem::ReadFrom(std::string_view path, std::uint64_t offset, std::string* bytes,
                               std::uint64_t* size) {
  bytes->clear();
  *size = 0;
  Entry entry;
  const Status status = ResolveForRead(path, &entry);
  return status != kErrorSuccess ? status : ReadHostFileFrom(entry.host, offset, bytes, size);
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
  if (entry.type == HostEntryType::kFile) attributes = Attributes(entry.host, false);
  const bool current = IndexIsCurrent(ParentOf(entry.host));
  Noted(entry.host);
  if (entry.type == HostEntryType::kMissing) EntryMade();
  status = WriteFileAtomically(entry.host, bytes, attributes);
  Written(entry.host, status, bytes.size());
  NoteEntry(entry.host, current, status == kErrorSuccess);
  return status;
}

Status SimFileSystem::Append(std::string_view path, std::string_view bytes) {
  Entry entry;
  Status status = ResolveForWrite(path, &entry);
  if (status != kErrorSuccess) return status;
  if (entry.trailingSeparator && entry.type == HostEntryType::kMissing) return kErrorInvalidName;
  const bool current = IndexIsCurrent(ParentOf(entry.host));
  Noted(entry.host);
  if (entry.type == HostEntryType::kMissing) EntryMade();
  status = AppendHostFile(entry.host, bytes);
  // A file appended to keeps its kind and attributes: only its size moves on. (The log
  // files take many appends in a row.)
  const auto known = known_.find(entry.host);
  if (status == kErrorSuccess && known != known_.end() &&
      known->second.type == HostEntryType::kFile) {
    known->second.size += bytes.size();
  } else {
    Forget(entry.host);
  }
  NoteEntry(entry.host, current, status == kErrorSuccess);
  return status;
}

}  // namespace dav::platform::sim
