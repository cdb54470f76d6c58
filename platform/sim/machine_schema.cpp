#include "platform/sim/machine_schema.h"

#include <string>

#include "platform/platform.h"
#include "platform/sim/default_devices.h"

namespace dav::platform::sim {
namespace {

// Version 1: the registry, the machine settings, the special folders and the event journal.
//
// Registry keys form a tree; a hive root has parent 0 and the id 1..5 of its predefined
// handle (0x80000000 + id - 1). Ids are never reused (AUTOINCREMENT), so a handle to a
// deleted key can never come to mean a newer key. Names compare with NOCASE, which folds
// ASCII letters only, the same equality as Windows for the names this system uses.
// Subkeys are listed through an index in the upper-case collation that every connection of
// ours registers (WINUPPER, see sqlite_db.h), so enumerating walks the index; the sqlite3
// shell can still read the file but cannot change reg_keys without that collation.
// A value's position is its place in creation order within its key, kept dense (1..n) so
// that the index-th value is found directly.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE reg_keys (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER NOT NULL,
  name TEXT NOT NULL COLLATE NOCASE,
  UNIQUE (parent, name)
);
CREATE INDEX reg_keys_in_order ON reg_keys (parent, name COLLATE WINUPPER);
INSERT INTO reg_keys (id, parent, name) VALUES
  (1, 0, 'HKEY_CLASSES_ROOT'),
  (2, 0, 'HKEY_CURRENT_USER'),
  (3, 0, 'HKEY_LOCAL_MACHINE'),
  (4, 0, 'HKEY_USERS'),
  (5, 0, 'HKEY_PERFORMANCE_DATA');
CREATE TABLE reg_values (
  key INTEGER NOT NULL,
  name TEXT NOT NULL COLLATE NOCASE,
  position INTEGER NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  UNIQUE (key, name)
);
CREATE INDEX reg_values_by_position ON reg_values (key, position);
CREATE TABLE settings (
  name TEXT PRIMARY KEY,
  value TEXT NOT NULL
) WITHOUT ROWID;
CREATE TABLE special_folders (
  csidl INTEGER PRIMARY KEY,
  path TEXT NOT NULL,
  display_name TEXT NOT NULL
);
CREATE TABLE events (
  sequence INTEGER PRIMARY KEY AUTOINCREMENT,
  time TEXT NOT NULL,
  kind TEXT NOT NULL,
  detail TEXT NOT NULL
);
)sql";

// Version 2: the display adapter, the processes and the top-level windows. A machine made
// before gets the defaults of a new one: its adapter's modes, a running shell.
//
// Display modes are numbered 0..n-1 in the adapter's order, as EnumDisplaySettings counts
// them. Processes that have ended stay in the table (running = 0), so that an id is never
// given out twice. Window handles are never reused either (AUTOINCREMENT).
constexpr const char* kVersion2 = R"sql(
CREATE TABLE display_modes (
  number INTEGER PRIMARY KEY,
  width INTEGER NOT NULL,
  height INTEGER NOT NULL,
  bits INTEGER NOT NULL,
  frequency INTEGER NOT NULL
);
CREATE TABLE display_settings (
  name TEXT PRIMARY KEY CHECK (name IN ('current', 'registry')),
  width INTEGER NOT NULL,
  height INTEGER NOT NULL,
  bits INTEGER NOT NULL,
  frequency INTEGER NOT NULL
) WITHOUT ROWID;
CREATE TABLE processes (
  pid INTEGER PRIMARY KEY,
  parent INTEGER NOT NULL,
  path TEXT NOT NULL,
  exe_file TEXT NOT NULL,
  protected INTEGER NOT NULL DEFAULT 0,
  shell INTEGER NOT NULL DEFAULT 0,
  running INTEGER NOT NULL DEFAULT 1,
  exit_code INTEGER
);
CREATE INDEX processes_running ON processes (running, pid);
CREATE TABLE windows (
  handle INTEGER PRIMARY KEY AUTOINCREMENT,
  title TEXT NOT NULL,
  class TEXT NOT NULL,
  pid INTEGER NOT NULL
);
CREATE INDEX windows_of_process ON windows (pid);
)sql";

bool HasTables(Database& db) {
  auto query = db.Prepare("SELECT count(*) FROM sqlite_schema");
  return query.Step() && query.Int(0) > 0;
}

}  // namespace

void UpgradeMachineSchema(Database& db) {
  // Nearly every opening finds the schema current: that is read without the write lock.
  const bool current = db.Transaction(Database::Mode::kRead,
                                      [&] { return db.UserVersion() == kMachineSchemaVersion; });
  if (current) return;
  db.Transaction(Database::Mode::kWrite, [&] {
    const int version = db.UserVersion();
    if (version > kMachineSchemaVersion) {
      throw PlatformError("the machine was made by a newer version (schema " +
                          std::to_string(version) + ", this build knows " +
                          std::to_string(kMachineSchemaVersion) + ")");
    }
    if (version == 0 && HasTables(db)) {
      throw PlatformError("registry.db is not a machine database");
    }
    if (version == kMachineSchemaVersion) return;
    if (version < 1) db.Exec(kVersion1);
    if (version < 2) {
      db.Exec(kVersion2);
      SeedDevices(db);
    }
    db.SetUserVersion(kMachineSchemaVersion);
  });
}

}  // namespace dav::platform::sim
