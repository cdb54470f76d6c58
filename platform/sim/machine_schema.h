// The tables of the machine database and their versions. The version lives in SQLite's
// user_version; each later feature adds a step.
#pragma once

#include "platform/sim/sqlite_db.h"

namespace dav::platform::sim {

// The version a machine made by this build has.
inline constexpr int kMachineSchemaVersion = 2;

// Brings the database up to kMachineSchemaVersion inside one transaction: creates every
// table on an empty database, runs the missing steps on an older one. A database of a
// newer version, or one without a version that already holds tables, is a PlatformError.
void UpgradeMachineSchema(Database& db);

}  // namespace dav::platform::sim
