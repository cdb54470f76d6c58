// Snapshots of the simulated PC: the whole machine (registry database and drives) kept
// beside it, so that an administrator can try a lock-down and go back.
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
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace dav::host {

struct SnapshotInfo {
  std::string name;
  std::string taken;  // "yyyy-mm-dd hh:mm:ss" UTC
};

// A CommandError for a name that is not letters, digits, '.', '_' or '-' (or starts with
// '.'), for an existing snapshot, or for a failed copy.
void TakeSnapshot(const std::filesystem::path& machine, const std::string& name);
std::vector<SnapshotInfo> ListSnapshots(const std::filesystem::path& machine);
void RestoreSnapshot(const std::filesystem::path& machine, const std::string& name);

// Finishes a restore that got past its commit point; nothing when there is none.
void FinishInterruptedRestore(const std::filesystem::path& machine);

// One difference between the snapshot and the machine now.
struct MachineDifference {
  std::string change;  // "added", "removed", "changed" (now against the snapshot)
  std::string kind;    // "key", "value", "file", "folder", "ini"
  std::string what;    // the key path, value, Windows path or ini entry
  std::string before;  // in the snapshot; empty for "added"
  std::string after;   // now; empty for "removed"
};

std::vector<MachineDifference> DiffSnapshot(const std::filesystem::path& machine,
                                            const std::string& name);

}  // namespace dav::host
