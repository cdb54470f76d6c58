// A small wrapper over SQLite for the machine database: one connection, cached prepared
// statements and transactions that several processes can share.
//
// The database runs in WAL mode with synchronous=NORMAL: a committed transaction is in the
// write-ahead log before the commit returns, so it survives the death of the process (the
// kernel still holds the written pages); only a power failure may lose the last commits,
// never leave half of one. A busy timeout makes a second process wait for the write lock
// instead of failing at once.
//
// A Database is used by one thread at a time, as the machine that owns it is.
//
// Every failure is a SqliteError carrying SQLite's result code.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

struct sqlite3;
struct sqlite3_file;
struct sqlite3_stmt;

namespace dav::platform::sim {

class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

class Database;

// One run of a cached prepared statement. Bind, Step through the rows, read the columns;
// the statement is reset and its bindings cleared when the Query goes out of scope.
class Query {
 public:
  Query(Query&& other) noexcept : db_(other.db_), stmt_(other.stmt_) { other.stmt_ = nullptr; }
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;
  Query& operator=(Query&&) = delete;
  ~Query();

  // Parameters are numbered from 1, as in SQLite.
  Query& Bind(int index, std::int64_t value);
  Query& Bind(int index, std::string_view text);
  Query& BindBlob(int index, std::string_view bytes);
  Query& BindNull(int index);

  // Advances to the next row: true when there is one, false when the statement is done.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();

  // Columns are numbered from 0.
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::string Blob(int column) const;
  // The column's bytes in place, valid until the next Step or the end of the Query.
  std::string_view TextView(int column) const;
  std::string_view BlobView(int column) const;
  bool IsNull(int column) const;

 private:
  friend class Database;
  Query(Database* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
  Database* db_;
  sqlite3_stmt* stmt_;
};

class Database {
 public:
  // Opens (create: creating when missing) the database file, switches it to WAL mode and
  // sets the busy timeout. Opening a missing file without create is a SqliteError. An
  // existing file that this process may not write, or in a folder it may not write to, is
  // opened read-only: reads work, writes fail with SQLITE_READONLY.
  static std::unique_ptr<Database> Open(const std::filesystem::path& file, bool create);
  // A new, empty database that lives in this connection's memory and is gone when it closes
  // (no file, no log, nothing synced): for a throw-away machine that only one process uses.
  static std::unique_ptr<Database> OpenInMemory();

  // Makes this database a page-by-page copy of source (SQLite's backup API), outside any
  // transaction. It counts as a rollback (see Rollbacks): what is remembered of the old
  // data no longer holds.
  void CopyFrom(Database& source);

  bool readOnly() const { return readOnly_; }

  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Runs one or more statements that return no rows.
  void Exec(std::string_view sql);

  // A run of the statement, prepared on first use and cached afterwards.
  Query Prepare(std::string_view sql);

  std::int64_t LastInsertId();
  int Changes();

  // Ends the read held open (see Transaction), so that its snapshot does not keep other
  // connections' checkpoints from reusing the write-ahead log while this one waits.
  void EndHeldRead();

  // PRAGMA data_version: a number that changes when another connection (of this process or
  // another) has committed since this connection last read; its own commits leave it as is.
  std::int64_t DataVersion();

  // A cheap look for commits, without a transaction: the header of the write-ahead log's
  // index, which every connection to the file shares in memory and which every commit
  // rewrites (this connection's own commits too). Equal stamps taken at two moments mean that
  // nothing was committed in between; different ones only that something may have been.
  // False when there is no such header to read (a read-only database, or before this
  // connection's first transaction): ask DataVersion then.
  using CommitStamp = std::array<unsigned char, 48>;
  bool ReadCommitStamp(CommitStamp* stamp);

  // PRAGMA user_version: the schema version stored in the file.
  int UserVersion();
  void SetUserVersion(int version);

  enum class Mode {
    kRead,   // takes a snapshot for reading; may not write
    kWrite,  // takes the write lock at once (waits for it up to the busy timeout)
  };

  // Runs body inside a transaction and commits it; rolls back and rethrows when body
  // throws. Nested calls become savepoints of the outer transaction, so an inner failure
  // undoes only the inner part. A nested kWrite inside an outer kRead is a logic error.
  //
  // An outermost kRead is held open after body instead of ended, and the next kRead, or a
  // read-only statement outside a transaction, goes on in it while the commit stamp shows no
  // commit since it began: its snapshot is then the latest state, and beginning and ending a
  // read at every call costs more than the work of most calls. A moved stamp ends it (the
  // next read begins afresh), as do a kWrite, Exec and any statement that may write, which
  // never run inside it, and EndHeldRead.
  template <typename Body>
  auto Transaction(Mode mode, Body&& body) {
    TransactionScope scope(this, mode);
    if constexpr (std::is_void_v<decltype(body())>) {
      body();
      scope.Commit();
    } else {
      auto result = body();
      scope.Commit();
      return result;
    }
  }

  // Registers a collation that compares texts after folding ASCII letters to upper case,
  // the order in which Windows lists registry keys ("_" after the letters).
  static constexpr const char* kUpperCaseCollation = "WINUPPER";

  sqlite3* handle() { return db_; }

  // How many transactions (or nested parts) have been rolled back on this connection, so
  // that what a caller remembers of the data can be dropped when a change was taken back.
  std::uint64_t Rollbacks() const { return rollbacks_; }
  // For a caller that put rows back by itself (see KeptContent): counts as a rollback.
  void CountAsRollback() { ++rollbacks_; }

 private:
  friend class Query;
  explicit Database(sqlite3* db) : db_(db) {}
  // Extended result codes, the busy timeout and the collation, for every connection.
  void Configure();

  class TransactionScope {
   public:
    TransactionScope(Database* db, Mode mode);
    ~TransactionScope();
    void Commit();

   private:
    Database* db_;
    bool committed_ = false;
    // An outermost read in a held read, which stays open after it.
    bool held_ = false;
  };

  // A cached prepared statement, prepared on first use.
  sqlite3_stmt* Statement(std::string_view sql);
  // Begins a read transaction held open, when there is a commit stamp to check it by later.
  void BeginHeldRead();
  // True when a read is held and no commit happened since it began; ends it otherwise.
  bool HeldReadCurrent();

  [[noreturn]] void Fail(int code, std::string_view what);

  sqlite3* db_;
  // The database file as SQLite holds it, for its shared-memory index (see ReadCommitStamp).
  sqlite3_file* file_ = nullptr;
  std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
  int depth_ = 0;
  bool writing_ = false;
  std::uint64_t rollbacks_ = 0;
  bool readOnly_ = false;
  // A read transaction left open after its body, and the commit stamp taken before it began.
  bool holding_ = false;
  CommitStamp heldStamp_{};
};

}  // namespace dav::platform::sim
