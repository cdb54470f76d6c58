// Copies of a simulated PC's files: snapshots of the whole machine (registry database and
// drives) kept beside it, so that an administrator can try a lock-down and go back, and
// throw-away copies to try a command on.
//
//   <machine>/snapshots/<NAME>/registry.db   an online backup of the database (SQLite's
//                                            backup API: consistent while others use it)
//   <machine>/snapshots/<NAME>/drives/...    a copy of the drives, DOS attributes included
//
// A snapshot folder is itself a machine, so it is read as one. Restoring is atomic: the
// restored machine is put together in <machine>/restore.staged and renamed to
// <machine>/restore.ready, which is the moment the restore happens; putting its parts in
// place is finished by the restore or, after a crash, before the machine is next opened. A
// crash before the rename leaves the machine as it was.
//
// Failures are PlatformErrors that say what could not be done.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace dav::platform::sim {

struct SnapshotInfo {
  std::string name;
  std::string taken;  // "yyyy-mm-dd hh:mm:ss" UTC
};

// A PlatformError for a name that is not letters, digits, '.', '_' or '-' (or starts with
// '.'), for an existing snapshot, or for a failed copy.
void TakeSnapshot(const std::filesystem::path& machine, const std::string& name);
std::vector<SnapshotInfo> ListSnapshots(const std::filesystem::path& machine);
void RestoreSnapshot(const std::filesystem::path& machine, const std::string& name);

// Finishes a restore that got past its commit point; nothing when there is none.
void FinishInterruptedRestore(const std::filesystem::path& machine);

// Where the snapshot of that name lives (a PlatformError for a bad name).
std::filesystem::path SnapshotFolder(const std::filesystem::path& machine, const std::string& name);

// A consistent copy of a machine (database through the backup API, and drives) in to,
// which must not exist. Snapshots are not copied.
void CopyMachine(const std::filesystem::path& from, const std::filesystem::path& to);

// A copy of a machine's database, its write-ahead log and its drives as they are on disk,
// for a throw-away machine: the machine's database is never opened, so a read-only machine
// can be copied and its log index stays as it was. Snapshots are not copied.
void CopyMachineAsStored(const std::filesystem::path& from, const std::filesystem::path& to);

// The drives folder, every file and folder with its DOS attributes.
void CopyDrives(const std::filesystem::path& from, const std::filesystem::path& to);

// Puts the entries at the paths changed (relative to both folders) in drives back as they are
// in kept, a copy of drives taken before: an entry kept has its content and DOS attributes
// again, one that kept does not hold is removed with all it holds. The rest of drives is not
// looked at, so changed must name every entry changed since the copy.
void PutBackDrives(const std::filesystem::path& kept, const std::filesystem::path& drives,
                   const std::vector<std::filesystem::path>& changed);

}  // namespace dav::platform::sim
