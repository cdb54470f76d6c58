// Nested transactions of the machine database: a failure undoes exactly its own part, so
// that a registry call inside the making of a machine happens whole or not at all.
#include "platform/sim/sqlite_db.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/tests/sim/temp_folder.h"

namespace dav::platform::sim {
namespace {

TEST(DatabaseTransactions, FailuresUndoExactlyTheirOwnPart) {
  testing::TempFolder temp;
  auto db = Database::Open(temp.path() / "test.db", true);
  db->Exec("CREATE TABLE t (v INTEGER)");
  auto insert = [&](int v) { db->Prepare("INSERT INTO t (v) VALUES (?)").Bind(1, v).Run(); };
  auto count = [&] {
    auto query = db->Prepare("SELECT count(*) FROM t");
    return query.Step() ? query.Int(0) : -1;
  };
  auto failing = [&](int v) {
    return [&, v] {
      insert(v);
      throw std::runtime_error("failed");
    };
  };
  using Mode = Database::Mode;

  db->Transaction(Mode::kWrite, [&] {
    insert(1);
    EXPECT_THROW(db->Transaction(Mode::kWrite, failing(2)), std::runtime_error);
    insert(3);
  });
  EXPECT_EQ(count(), 2) << "the inner failure undoes row 2 only";

  EXPECT_THROW(db->Transaction(Mode::kWrite,
                               [&] {
                                 db->Transaction(Mode::kWrite, [&] { insert(4); });
                                 failing(5)();
                               }),
               std::runtime_error);
  EXPECT_EQ(count(), 2) << "the outer failure undoes the committed inner part too";

  db->Transaction(Mode::kWrite, [&] { insert(6); });
  EXPECT_EQ(count(), 3) << "the connection stays usable after a rollback";
  EXPECT_THROW(db->Transaction(Mode::kRead, [&] { db->Transaction(Mode::kWrite, [] {}); }),
               std::logic_error);
}

// The commit stamp stands still while nothing is committed (so that a batch read ahead keeps
// answering without a transaction) and moves at any connection's commit.
TEST(DatabaseCommitStamp, MovesAtEveryCommitOnly) {
  testing::TempFolder temp;
  auto db = Database::Open(temp.path() / "test.db", true);
  auto other = Database::Open(temp.path() / "test.db", false);
  db->Exec("CREATE TABLE t (v INTEGER)");
  Database::CommitStamp before;
  Database::CommitStamp after;
  ASSERT_TRUE(db->ReadCommitStamp(&before)) << "a connection that has read has a stamp";
  db->Transaction(Database::Mode::kRead, [&] { db->Prepare("SELECT count(*) FROM t").Run(); });
  ASSERT_TRUE(db->ReadCommitStamp(&after));
  EXPECT_EQ(after, before) << "reads leave the stamp as it was";

  other->Exec("INSERT INTO t (v) VALUES (1)");
  ASSERT_TRUE(db->ReadCommitStamp(&after));
  EXPECT_NE(after, before) << "another connection's commit moves the stamp";
  before = after;
  db->Exec("INSERT INTO t (v) VALUES (2)");
  ASSERT_TRUE(db->ReadCommitStamp(&after));
  EXPECT_NE(after, before) << "the connection's own commit moves it too";
}

// Reads outside a write are kept in one read transaction while nothing is committed; a write
// outside a transaction must still be committed at once, not swallowed by that read.
TEST(DatabaseHeldReads, WritesBetweenReadsAreCommittedAtOnce) {
  testing::TempFolder temp;
  auto db = Database::Open(temp.path() / "test.db", true);
  auto other = Database::Open(temp.path() / "test.db", false);
  db->Exec("CREATE TABLE t (v INTEGER)");
  auto count = [](Database& on) {
    auto query = on.Prepare("SELECT count(*) FROM t");
    return query.Step() ? query.Int(0) : -1;
  };
  EXPECT_EQ(count(*db), 0);
  db->Transaction(Database::Mode::kRead, [&] { count(*db); });
  db->Prepare("INSERT INTO t (v) VALUES (1)").Run();
  EXPECT_EQ(count(*other), 1) << "a statement that writes is committed by itself";
  EXPECT_EQ(count(*db), 1);
  db->Exec("INSERT INTO t (v) VALUES (2)");
  EXPECT_EQ(count(*other), 2) << "so is Exec";
  other->Exec("INSERT INTO t (v) VALUES (3)");
  EXPECT_EQ(count(*db), 3) << "another connection's commit is seen at the next read";
}

TEST(DatabaseHeldReads, AWholeCopyGoesOverAReadHeldOnEitherSide) {
  testing::TempFolder temp;
  auto db = Database::Open(temp.path() / "test.db", true);
  db->Exec("CREATE TABLE t (v INTEGER)");
  db->Exec("INSERT INTO t (v) VALUES (1)");
  auto kept = Database::OpenInMemory();
  auto count = [](Database& on) {
    auto query = on.Prepare("SELECT count(*) FROM t");
    return query.Step() ? query.Int(0) : -1;
  };
  EXPECT_EQ(count(*db), 1);  // leaves a read held open on the file
  kept->CopyFrom(*db);
  EXPECT_EQ(count(*kept), 1);
  db->Exec("INSERT INTO t (v) VALUES (2)");
  EXPECT_EQ(count(*db), 2);
  ASSERT_NO_THROW(db->CopyFrom(*kept)) << "the copy goes over the read held on the file";
  EXPECT_EQ(count(*db), 1);
}

}  // namespace
}  // namespace dav::platform::sim
