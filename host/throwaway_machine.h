// A machine in a new temporary folder, removed with everything in it when the object goes:
// a fresh (empty) machine folder, or a copy of a machine as it is stored. Commands that must
// leave the machine as it was (plan, doc new --from-machine) run the component on it.
#pragma once

#include <filesystem>
#include <string>

namespace dav::host {

class ThrowawayMachine {
 public:
  // copyOf: the machine folder to copy (the database, its write-ahead log and the drives with
  // their DOS attributes; never the snapshots), or null for an empty folder. purpose names
  // the temporary folder ("plan", "new").
  ThrowawayMachine(const std::filesystem::path* copyOf, const std::string& purpose);
  ~ThrowawayMachine();
  ThrowawayMachine(const ThrowawayMachine&) = delete;
  ThrowawayMachine& operator=(const ThrowawayMachine&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  void Remove();
  std::filesystem::path path_;
};

}  // namespace dav::host
