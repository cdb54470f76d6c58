// How the machine's device tables (display, processes, windows) meet a database failure.
// Through the platform interfaces a failure is an answer Windows could give (a failed call);
// through the machine's own set-up operations it is a PlatformError that says what failed.
#pragma once

#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/sim/sqlite_db.h"

namespace dav::platform::sim {

// body() in a transaction of the given mode; failed when the database fails.
template <typename Result, typename Body>
Result TransactionOr(Database& db, Database::Mode mode, Result failed, Body&& body) {
  try {
    return db.Transaction(mode, std::forward<Body>(body));
  } catch (const SqliteError&) {
    return failed;
  }
}

// body() in a transaction of the given mode; a database failure becomes a PlatformError.
template <typename Body>
auto TransactionOrThrow(Database& db, Database::Mode mode, const char* what, Body&& body) {
  try {
    return db.Transaction(mode, std::forward<Body>(body));
  } catch (const SqliteError& error) {
    throw PlatformError(std::string("machine database: cannot ") + what + ": " + error.what());
  }
}

}  // namespace dav::platform::sim
