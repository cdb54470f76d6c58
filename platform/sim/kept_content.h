// The rows of a database as they were at one moment, put back on demand by changing only the
// rows that changed since: for a database that only its own connection changes (a machine in
// memory), which is put back before each of many tasks.
//
// Database::CopyFrom would do it as well, but a copy over the database makes SQLite read the
// schema again and prepare every cached statement anew at its next use; putting rows back
// leaves the schema as it is. The copy and the notes are tables of the database itself (named
// kept_...: a task adds nothing to a schema other than the main one's transaction already
// writes); temporary triggers note, per table, the rowids inserted, updated or deleted (a table
// without rowids, small in this database, is noted as a whole), and sqlite_sequence, on which
// no trigger may be made, is put back whole each time, so that AUTOINCREMENT ids are given out
// again as they were after the moment kept. Changes of the schema itself are not followed.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/sqlite_db.h"

namespace dav::platform::sim {

class KeptContent {
 public:
  // Keeps db's rows as they are now (outside any transaction). One KeptContent per database.
  explicit KeptContent(Database& db);
  // Drops the copy, the triggers and the notes.
  ~KeptContent();
  KeptContent(const KeptContent&) = delete;
  KeptContent& operator=(const KeptContent&) = delete;

  // Puts back the rows as they were kept, in one transaction (outside any other), and counts
  // as a rollback of db (see Database::Rollbacks).
  void Restore();

 private:
  // One table: a query with a row when changes of it were noted, and the statements that put
  // it back and clear its notes.
  struct Part {
    std::string noted;
    std::vector<std::string> restore;
  };
  Database& db_;
  std::vector<Part> parts_;
  std::vector<std::string> always_;  // run at every restore, after the parts
};

}  // namespace dav::platform::sim
