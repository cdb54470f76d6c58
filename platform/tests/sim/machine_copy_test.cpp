// A throw-away copy of a machine as it is stored: what another connection has committed but
// not yet checkpointed lives in the write-ahead log, and the copy must hold it too.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "platform/sim/machine_snapshots.h"
#include "platform/tests/sim/temp_folder.h"

namespace dav::platform::sim {
namespace {

namespace fs = std::filesystem;

// One connection to a database file, closed with the object.
class Connection {
 public:
  explicit Connection(const fs::path& file) {
    if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) ADD_FAILURE() << sqlite3_errmsg(db_);
  }
  ~Connection() { sqlite3_close(db_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  void Exec(const std::string& sql) {
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << sql << ": " << (error ? error : "");
    sqlite3_free(error);
  }
  std::string One(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    std::string text = "(none)";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
      text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    return text;
  }

 private:
  sqlite3* db_ = nullptr;
};

TEST(MachineCopyTest, TheCopyHoldsWhatOnlyTheWriteAheadLogHolds) {
  testing::TempFolder temp;
  const fs::path machine = temp.path() / "machine";
  fs::create_directories(machine / "drives" / "C");
  Connection writer(machine / "registry.db");
  writer.Exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;");
  writer.Exec("CREATE TABLE t(v TEXT); INSERT INTO t VALUES('only in the log');");
  ASSERT_GT(fs::file_size(machine / "registry.db-wal"), 0u);

  CopyMachineAsStored(machine, temp.path() / "copy");
  Connection reader(temp.path() / "copy" / "registry.db");
  EXPECT_EQ(reader.One("SELECT v FROM t"), "only in the log");
}

}  // namespace
}  // namespace dav::platform::sim
