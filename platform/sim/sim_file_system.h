// The simulated PC's files: Windows paths "X:\a\b" resolve onto <drivesRoot>/X/a/b, each
// name matched without regard to letter case onto the entry that exists (a new name keeps
// the case it was given). Nothing resolves outside drivesRoot: ".." stops at a drive's
// root, and symbolic links inside the tree are refused, never followed. DOS attributes
// live in an extended attribute (dos_attributes.h).
//
// Listings give "." and ".." first in a folder below the root, then the entries sorted by
// name without regard to case. Host entries that Windows could not name (a trailing dot,
// a forbidden character, bytes that are not UTF-8), symbolic links and the temporary files
// of a write in progress are left out.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"
#include "platform/sim/host_files.h"
#include "platform/sim/windows_path.h"

namespace dav::platform::sim {

class SimFileSystem : public FileSystem {
 public:
  explicit SimFileSystem(std::filesystem::path drivesRoot);
  ~SimFileSystem() override;

  // The host path a Windows path resolves to: the existing entry, or the name as given
  // when the last name does not exist yet (its folder must). On failure an empty path and
  // the Windows status (kErrorPathNotFound, kErrorInvalidName, kErrorAccessDenied for a
  // symbolic link ...). status may be null.
  std::filesystem::path HostPath(std::string_view windowsPath, Status* status);

  Status FindFiles(std::string_view pattern, std::uint32_t mask,
                   std::vector<FileEntry>* entries) override;
  std::uint32_t GetAttributes(std::string_view path) override;
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override;
  Status Copy(std::string_view from, std::string_view to, bool failIfExists) override;
  Status Delete(std::string_view path) override;
  Status MakeFolder(std::string_view path) override;
  Status RemoveFolder(std::string_view path) override;
  Status ReadAll(std::string_view path, std::string* bytes) override;
  Status ReadFrom(std::string_view path, std::uint64_t offset, std::string* bytes,
                  std::uint64_t* size) override;
  Status WriteAll(std::string_view path, std::string_view bytes) override;
  Status Append(std::string_view path, std::string_view bytes) override;
  // While set, what a look-up found on the host (an entry's kind, size and attributes) is
  // remembered and answers the next look-ups of the same path, and remembered folders are
  // taken without a look at the disk; this file system's own changes correct or drop what
  // they touch. Setting or clearing it forgets all that.
  void SetSoleWriter(bool sole) override;

  // While on, the host paths of the entries this file system makes, writes, appends to,
  // removes or gives attributes are noted, so that a caller that puts the drives back from a
  // copy (Machine::RestoreState) need put back only those. Turning it on starts afresh.
  void NoteChanges(bool on);
  // The host paths noted since; null when not noting, or when more changed than are noted
  // (every entry has to be put back then).
  const std::set<std::string>* Changes() const;
  // After the entries at these host paths were changed behind this file system's back: what
  // it remembers of them, of the folders holding them and of folders resolved onto them is
  // dropped. ForgetAll drops everything, after the whole drives changed so.
  void ForgetEntries(const std::set<std::string>& hosts);
  void ForgetAll();

 private:
  // A Windows path resolved onto the host.
  struct Entry {
    std::string host;                              // the host path, its names joined by "/"
    HostEntryType type = HostEntryType::kMissing;  // also when the folder was not found
    bool isRoot = false;
    bool trailingSeparator = false;  // the path ended in "\" or "/" after a name
  };

  // Resolves the drive folder and the folders named by names[0, count) onto the host.
  // Folders resolved before are remembered (see resolvedFolders_), so that the many
  // operations of one task in the same folders do not look up every folder of the path again.
  Status ResolveFolder(const WindowsPath& path, std::size_t count, std::string* folder) const;
  // Parses and resolves a path without wildcards; the folder holding the last name must
  // exist. A file's name with a separator after it names no file, and the calls that open
  // files refuse it as Windows does: kErrorInvalidName.
  Status Resolve(std::string_view windowsPath, Entry* entry) const;
  // Resolve without the memory of paths resolved before.
  Status ResolveAnew(std::string_view windowsPath, Entry* entry) const;
  // Resolves a file to be read: a missing one is kErrorFileNotFound, anything but a file
  // kErrorAccessDenied.
  Status ResolveForRead(std::string_view windowsPath, Entry* entry) const;
  // Resolves a file to be written whole or appended to: it may be missing, but a folder,
  // a symbolic link or a read-only file is kErrorAccessDenied.
  Status ResolveForWrite(std::string_view windowsPath, Entry* entry) const;

  // Names are matched without regard to case by reading the folder when the exact name is
  // not stored; a folder read for that keeps an index (name folded to lower case -> stored
  // name), so that making many new entries in one folder costs one read of it, not one each.
  // The index holds while the folder's inode and change times are those it was made or last
  // updated at (this file system updates it for the entries it makes); a change from outside
  // drops it. Changes from outside within the file system's time-stamp granularity of an
  // update can go unseen; only a look-up in another letter case of such a name is affected.
  struct FolderIndex;
  // Indexes the names read from a folder (sorted here), and keeps them as its listing while
  // this process alone writes. The caller gives the index its stamp.
  FolderIndex& IndexFolder(const std::string& folder, std::vector<std::string> stored) const;
  // type, when given, receives what the found name is on the host (kMissing when none).
  std::string FindChild(const std::string& folder, const std::string& name,
                        HostEntryType* type = nullptr) const;
  // Whether the folder's index (when it has one) still describes it; a stale one is dropped.
  bool IndexIsCurrent(std::string_view folder) const;
  // After this file system made (or removed) host inside a folder whose index was current
  // before: the index learns the name (or, for a removal, is dropped).
  void NoteEntry(const std::string& host, bool wasCurrent, bool added) const;

  // What a host path held when it was last looked up while this process alone writes.
  struct Known {
    HostEntryType type = HostEntryType::kMissing;
    std::uint64_t size = 0;
    std::optional<std::uint32_t> attributes;  // read when first asked for
  };
  Known& KnownEntry(const std::string& host) const;
  // LookUpHostEntry, ReadDosAttributes and the read-only bit, from memory while sole.
  HostEntryType LookUp(const std::string& host, std::uint64_t* size = nullptr) const;
  std::uint32_t Attributes(const std::string& host, bool isDirectory) const;
  bool IsReadOnly(const std::string& host, bool isDirectory) const;
  // Drops what is remembered of host, after this file system changed it.
  void Forget(const std::string& host) const;
  // After this file system removed an entry: a path resolved before may now resolve onto
  // another host entry (a name made again in another letter case, a folder gone).
  void EntriesRemoved() const {
    resolvedPaths_.clear();
    missedPaths_.clear();
  }
  // After this file system made an entry: a missing name resolved before may now resolve
  // onto it (made in another letter case).
  void EntryMade() const { missedPaths_.clear(); }
  // After a whole-file write of size bytes that ended with status.
  void Written(const std::string& host, Status status, std::uint64_t size) const;

  // Notes a change of host for Changes.
  void Noted(const std::string& host) const;

  // Maps hashed as text, so that a key given as a string_view is looked up as it is.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>()(text);
    }
  };
  template <typename Value>
  using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

  // The host folder of the drives, without a separator at its end; host paths are built
  // onto it as text ("<root>/C/a/b"), which spares the parsing of a path object at each step.
  std::string drivesRoot_;
  bool soleWriter_ = false;
  bool noting_ = false;
  mutable bool notedAll_ = true;  // the notes hold every change since noting began
  mutable std::set<std::string> noted_;
  mutable TextMap<Known> known_;
  // Windows folder paths resolved before (drive letter and names folded to lower case, joined
  // by "\\") -> their host folder. One look-up of the host folder confirms a remembered
  // folder, instead of one or two for each folder on its path; when it is no longer a folder
  // (removed or replaced from outside) everything remembered is forgotten and the path is
  // resolved afresh. This file system forgets them itself whenever it removes a folder.
  mutable TextMap<std::string> resolvedFolders_;
  mutable TextMap<std::unique_ptr<FolderIndex>> folderIndexes_;
  // While sole: Windows paths as given -> the entries Resolve found for them (their kind
  // looked up anew each time), until this file system removes an entry. The operations of a
  // task name the same few paths again and again (a log file at every line).
  mutable TextMap<Entry> resolvedPaths_;
  // The same for paths whose last name was missing, until this file system makes an entry.
  mutable TextMap<Entry> missedPaths_;
};

}  // namespace dav::platform::sim
