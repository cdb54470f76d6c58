// The machine's own tables besides the registry: settings, special folders and the event
// journal. Every read goes to the database, so two processes on one machine see each
// other's changes. Database failures become PlatformErrors.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/sqlite_db.h"

namespace dav::platform::sim {

class MachineStore {
 public:
  explicit MachineStore(Database& db) : db_(db) {}

  // Fills the settings and special-folder tables of a new machine.
  void Initialize(const std::vector<SpecialFolder>& folders);

  // Every known setting in the order of DefaultSettings(); a setting missing from the
  // table (a machine made before it existed) shows its default.
  std::vector<std::pair<std::string, std::string>> Settings();
  std::string Setting(const char* name);
  // The settings named, as Setting gives each, in one read of the table.
  std::vector<std::string> Settings(std::initializer_list<const char*> names);
  // A PlatformError with a message that says what is wrong for an unknown name or a bad value.
  void SetSetting(const std::string& name, const std::string& value);

  std::vector<SpecialFolder> SpecialFolders();
  std::optional<SpecialFolder> FindSpecialFolder(int csidl);

  void RecordEvent(const std::string& time, const std::string& kind, const std::string& detail);
  std::vector<Event> Events(std::int64_t since);

  Database& db() { return db_; }

 private:
  Database& db_;
};

}  // namespace dav::platform::sim
