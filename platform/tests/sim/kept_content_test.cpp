// Rows put back by KeptContent: every kind of change to every kind of table of the machine's
// schema, round after round, without preparing the cached statements again.
#include "platform/sim/kept_content.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/sim/machine_schema.h"

namespace dav::platform::sim {
namespace {

int AppendRow(void* dump, int columns, char** values, char** /*names*/) {
  auto* text = static_cast<std::string*>(dump);
  for (int i = 0; i < columns; ++i) *text += std::string(values[i] ? values[i] : "NULL") + "|";
  *text += "\n";
  return 0;
}

// Every row of the machine's tables (with its rowid where there is one) and of sqlite_sequence.
std::string Dump(Database& db) {
  std::vector<std::string> tables;
  {
    auto query = db.Prepare(
        "SELECT name, wr FROM pragma_table_list WHERE schema = 'main' AND type = 'table' "
        "AND name NOT LIKE 'kept\\_%' ESCAPE '\\' "
        "AND (name NOT LIKE 'sqlite\\_%' ESCAPE '\\' OR name = 'sqlite_sequence') ORDER BY name");
    while (query.Step()) {
      tables.push_back(query.Int(1) ? "SELECT * FROM " + query.Text(0) + " ORDER BY 1"
                                    : "SELECT rowid, * FROM " + query.Text(0) + " ORDER BY rowid");
    }
  }
  std::string dump;
  for (const std::string& sql : tables) {
    dump += sql + "\n";
    EXPECT_EQ(sqlite3_exec(db.handle(), sql.c_str(), &AppendRow, &dump, nullptr), SQLITE_OK);
  }
  return dump;
}

int Reprepares(Database& db) {
  int count = 0;
  for (sqlite3_stmt* stmt = sqlite3_next_stmt(db.handle(), nullptr); stmt != nullptr;
       stmt = sqlite3_next_stmt(db.handle(), stmt)) {
    count += sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
  }
  return count;
}

TEST(KeptContent, PutsBackEveryChangeRoundAfterRound) {
  auto db = Database::OpenInMemory();
  UpgradeMachineSchema(*db);
  db->Exec(
      "INSERT INTO reg_keys (parent, name) VALUES (1, 'A'), (1, 'B');"
      "INSERT INTO reg_values (key, name, position, type, data) VALUES (6, 'v', 1, 1, 'x'),"
      " (6, 'w', 2, 1, 'y'), (7, 'v', 1, 4, 'z');"
      "INSERT INTO settings (name, value) VALUES ('am', 'AM'), ('pm', 'PM');"
      "INSERT INTO windows (title, class, pid) VALUES ('one', 'c', 1);");
  const std::string kept = Dump(*db);
  KeptContent content(*db);
  // Making the copy changes the schema: what was prepared before is prepared again once.
  content.Restore();
  const auto upsert = [&](const char* name, const char* data) {
    db->Prepare(
          "INSERT INTO reg_values (key, name, position, type, data) VALUES (6, ?1, 9, 1, ?2) "
          "ON CONFLICT (key, name) DO UPDATE SET data = excluded.data")
        .Bind(1, std::string_view(name))
        .Bind(2, std::string_view(data))
        .Run();
  };
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    upsert("v", "changed");
    upsert("new", "new");
    db->Exec(
        "DELETE FROM reg_values WHERE key = 7;"
        "UPDATE reg_keys SET id = 100 WHERE name = 'B';"  // a row that moves to another rowid
        "INSERT INTO reg_keys (parent, name) VALUES (1, 'C');"
        "INSERT OR REPLACE INTO settings (name, value) VALUES ('am', 'changed');"
        "DELETE FROM settings WHERE name = 'pm';"
        "INSERT INTO windows (title, class, pid) VALUES ('two', 'c', 1);"
        "INSERT INTO events (time, kind, detail) VALUES ('t', 'k', 'd');");
    ASSERT_NE(Dump(*db), kept);
    const int reprepares = Reprepares(*db);
    content.Restore();
    EXPECT_EQ(Dump(*db), kept);
    upsert("v", "again");  // a statement prepared before the restore
    EXPECT_EQ(Reprepares(*db), reprepares) << "no cached statement was prepared again";
    content.Restore();
  }
}

}  // namespace
}  // namespace dav::platform::sim
