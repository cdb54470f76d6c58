// davhost machine diff: what differs between a snapshot of the simulated PC and the machine
// now (host/machine_commands.cpp takes, lists and restores the snapshots).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace dav::host {

// One difference between the snapshot and the machine now.
struct MachineDifference {
  std::string change;  // "added", "removed", "changed" (now against the snapshot)
  std::string kind;    // "key", "value", "file", "folder", "ini"
  std::string what;    // the key path, value, Windows path or ini entry
  std::string before;  // in the snapshot; empty for "added"
  std::string after;   // now; empty for "removed"
  // For a value a document's row writes: "UsedAccess / CmdPrompt: blocked", the row and
  // what the value now means; else empty.
  std::string row = {};
};

// A CommandError for a bad name or a snapshot that is not there.
std::vector<MachineDifference> DiffSnapshot(const std::filesystem::path& machine,
                                            const std::string& name);

}  // namespace dav::host
