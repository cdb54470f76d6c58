#include "platform/sim/sqlite_db.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace dav::platform::sim {
namespace {

constexpr int kBusyTimeoutMs = 10000;

unsigned char AsciiUpper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

int CompareUpperCase(void*, int leftLen, const void* left, int rightLen, const void* right) {
  const auto* l = static_cast<const unsigned char*>(left);
  const auto* r = static_cast<const unsigned char*>(right);
  const int common = std::min(leftLen, rightLen);
  for (int i = 0; i < common; ++i) {
    const int diff = AsciiUpper(l[i]) - AsciiUpper(r[i]);
    if (diff != 0) return diff;
  }
  return leftLen - rightLen;
}

}  // namespace

Query::~Query() {
  if (stmt_ != nullptr) {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
}

Query& Query::Bind(int index, std::int64_t value) {
  const int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) db_->Fail(rc, "bind");
  return *this;
}

Query& Query::Bind(int index, std::string_view text) {
  const int rc =
      sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  if (rc != SQLITE_OK) db_->Fail(rc, "bind");
  return *this;
}

Query& Query::BindBlob(int index, std::string_view bytes) {
  // A zero-length blob must still be a blob, not NULL: sqlite3_bind_blob64 with a null
  // pointer would bind NULL.
  static const char kEmpty = 0;
  const char* data = bytes.empty() ? &kEmpty : bytes.data();
  const int rc = sqlite3_bind_blob64(stmt_, index, data, bytes.size(), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) db_->Fail(rc, "bind");
  return *this;
}

Query& Query::BindNull(int index) {
  const int rc = sqlite3_bind_null(stmt_, index);
  if (rc != SQLITE_OK) db_->Fail(rc, "bind");
  return *this;
}

bool Query::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  db_->Fail(rc, sqlite3_sql(stmt_));
}

void Query::Run() {
  while (Step()) {
  }
}

std::int64_t Query::Int(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

std::string Query::Text(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), size);
}

std::string_view Query::TextView(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  return text == nullptr ? std::string_view()
                         : std::string_view(reinterpret_cast<const char*>(text), size);
}

std::string_view Query::BlobView(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  return data == nullptr ? std::string_view()
                         : std::string_view(static_cast<const char*>(data), size);
}

std::string Query::Blob(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  return data == nullptr ? std::string() : std::string(static_cast<const char*>(data), size);
}

bool Query::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

namespace {

// "file:<path>?immutable=1" with the characters a URI reserves escaped.
std::string ReadOnlyUri(const std::filesystem::path& file) {
  std::string uri = "file:";
  for (const char c : std::filesystem::absolute(file).string()) {
    if (c == '%' || c == '?' || c == '#') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      uri += escaped;
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

// SQLite as this program uses it, set once before its first connection: without counting
// the memory it takes, which would lock a mutex at every allocation (nothing here reads the
// count). Too late when something else started SQLite first, which changes nothing but speed.
void ConfigureSqliteOnce() {
  static const bool configured = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)configured;
}

}  // namespace

std::unique_ptr<Database> Database::Open(const std::filesystem::path& file, bool create) {
  ConfigureSqliteOnce();
  sqlite3* raw = nullptr;
  // One thread uses a connection, so SQLite need not lock it at every call. A database in
  // WAL mode keeps its log and index beside it: one that cannot be written, or whose folder
  // cannot be, is read as it stands (immutable: nobody can write it here; the last
  // connection that could write checkpointed the log into it when it closed).
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  const bool readOnly = !create && ::access(file.c_str(), F_OK) == 0 &&
                        (::access(file.c_str(), W_OK) != 0 || ::access(folder.c_str(), W_OK) != 0);
  const int flags =
      SQLITE_OPEN_NOMUTEX | (readOnly ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI
                                      : SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0));
  const std::string name = readOnly ? ReadOnlyUri(file) : file.string();
  const int rc = sqlite3_open_v2(name.c_str(), &raw, flags, nullptr);
  // The connection owns raw even when opening failed, so that the message can be read.
  std::unique_ptr<Database> db(new Database(raw));
  if (rc != SQLITE_OK) db->Fail(rc, "open " + file.string());
  db->Configure();

  db->readOnly_ = readOnly;
  if (readOnly) return db;
  // The write-ahead log and its index stay on disk when the last connection closes (the log
  // emptied at closing, see ~Database): making and removing those files at every opening
  // costs a journaled change of the folder each, more than a short davhost command takes.
  int persist = 1;
  sqlite3_file_control(raw, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
  db->Exec("PRAGMA synchronous=NORMAL");
  auto mode = db->Prepare("PRAGMA journal_mode=WAL");
  if (!mode.Step() || mode.Text(0) != "wal") {
    throw SqliteError(SQLITE_ERROR, "cannot switch " + file.string() + " to WAL mode");
  }
  return db;
}

std::unique_ptr<Database> Database::OpenInMemory() {
  ConfigureSqliteOnce();
  sqlite3* raw = nullptr;
  const int rc =
      sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_READWRITE, nullptr);
  std::unique_ptr<Database> db(new Database(raw));
  if (rc != SQLITE_OK) db->Fail(rc, "open a database in memory");
  db->Configure();
  // Small pages: a change copies each page it touches into the journal whole, and most rows
  // are a few dozen bytes.
  db->Exec("PRAGMA page_size=1024");
  return db;
}

void Database::Configure() {
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  const int collation = sqlite3_create_collation_v2(db_, kUpperCaseCollation, SQLITE_UTF8, nullptr,
                                                    &CompareUpperCase, nullptr);
  if (collation != SQLITE_OK) Fail(collation, "collation");
}

void Database::CopyFrom(Database& source) {
  if (depth_ != 0) throw std::logic_error("a database copied over inside a transaction");
  // The copy writes this database whole: a read held open here would keep it from doing so,
  // and one held on the source would pin the copy to an older state than the source's own.
  EndHeldRead();
  source.EndHeldRead();
  sqlite3_backup* backup = sqlite3_backup_init(db_, "main", source.db_, "main");
  if (backup == nullptr) Fail(sqlite3_errcode(db_), "copy a database");
  const int step = sqlite3_backup_step(backup, -1);
  const int finish = sqlite3_backup_finish(backup);
  ++rollbacks_;
  if (step != SQLITE_DONE) Fail(step, "copy a database");
  if (finish != SQLITE_OK) Fail(finish, "copy a database");
}

Database::~Database() {
  EndHeldRead();
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  // While open, the log is written over in place once checkpointed, which is cheaper than
  // growing it anew. The last connection to close checkpoints it; cut to nothing then, it
  // gives the next opening no old frames to read back.
  sqlite3_exec(db_, "PRAGMA journal_size_limit=0", nullptr, nullptr, nullptr);
  sqlite3_close_v2(db_);
}

void Database::Fail(int code, std::string_view what) {
  std::string message(what);
  message += ": ";
  message += db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
  throw SqliteError(code, message);
}

void Database::Exec(std::string_view sql) {
  if (depth_ == 0) EndHeldRead();
  const std::string text(sql);
  char* error = nullptr;
  const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    std::string message = error != nullptr ? error : sqlite3_errstr(rc);
    sqlite3_free(error);
    throw SqliteError(rc, text + ": " + message);
  }
}

sqlite3_stmt* Database::Statement(std::string_view sql) {
  auto found = statements_.find(sql);
  if (found == statements_.end()) {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) Fail(rc, sql);
    found = statements_.emplace(std::string(sql), stmt).first;
  }
  return found->second;
}

Query Database::Prepare(std::string_view sql) {
  sqlite3_stmt* stmt = Statement(sql);
  // Outside a transaction a statement is one by itself: a read goes on in a current held read
  // or begins one; a write must not become part of it (it would stay uncommitted).
  if (depth_ == 0) {
    if (!sqlite3_stmt_readonly(stmt)) {
      EndHeldRead();
    } else if (!HeldReadCurrent()) {
      BeginHeldRead();
    }
  }
  return Query(this, stmt);
}

void Database::EndHeldRead() {
  if (!holding_) return;
  holding_ = false;
  // SQLite may have ended it already (an error rolls a transaction back).
  if (sqlite3_get_autocommit(db_) != 0) return;
  // The prepared COMMIT: a held read ends before every write.
  sqlite3_stmt* commit = Statement("COMMIT");
  const int rc = sqlite3_step(commit);
  sqlite3_reset(commit);
  if (rc != SQLITE_DONE) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void Database::BeginHeldRead() {
  EndHeldRead();
  // Without a stamp to prove it current later, the statement runs by itself.
  if (!ReadCommitStamp(&heldStamp_)) return;
  Query(this, Statement("BEGIN DEFERRED")).Run();
  holding_ = true;
}

bool Database::HeldReadCurrent() {
  if (!holding_) return false;
  CommitStamp now;
  if (sqlite3_get_autocommit(db_) == 0 && ReadCommitStamp(&now) && now == heldStamp_) return true;
  EndHeldRead();
  return false;
}

std::int64_t Database::LastInsertId() {
  return sqlite3_last_insert_rowid(db_);
}

int Database::Changes() {
  return sqlite3_changes(db_);
}

std::int64_t Database::DataVersion() {
  auto query = Prepare("PRAGMA data_version");
  return query.Step() ? query.Int(0) : 0;
}

bool Database::ReadCommitStamp(CommitStamp* stamp) {
  // The index is the first 32 KiB region of the "-shm" file; it begins with two copies of a
  // 48-byte header. A writer updates the second copy, then the first; a reader that finds
  // them different caught a commit half-way and must not trust either.
  constexpr int kIndexRegionBytes = 32768;
  if (readOnly_) return false;
  if (file_ == nullptr) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr || file->pMethods->iVersion < 2 ||
        file->pMethods->xShmMap == nullptr) {
      return false;
    }
    file_ = file;
  }
  // Only a region this connection has already mapped is asked for (no extension, no file
  // made): before its first transaction there is none, and the answer is "unknown".
  volatile void* region = nullptr;
  if (file_->pMethods->xShmMap(file_, 0, kIndexRegionBytes, 0, &region) != SQLITE_OK ||
      region == nullptr) {
    return false;
  }
  const auto* header = static_cast<const volatile unsigned char*>(region);
  CommitStamp first;
  CommitStamp second;
  for (std::size_t i = 0; i < first.size(); ++i) first[i] = header[i];
  std::atomic_thread_fence(std::memory_order_seq_cst);
  for (std::size_t i = 0; i < second.size(); ++i) second[i] = header[second.size() + i];
  if (first != second) return false;
  *stamp = first;
  return true;
}

int Database::UserVersion() {
  auto query = Prepare("PRAGMA user_version");
  return query.Step() ? static_cast<int>(query.Int(0)) : 0;
}

void Database::SetUserVersion(int version) {
  Exec("PRAGMA user_version=" + std::to_string(version));
}

Database::TransactionScope::TransactionScope(Database* db, Mode mode) : db_(db) {
  if (db_->depth_ == 0) {
    db_->writing_ = mode == Mode::kWrite;
    if (mode == Mode::kRead && !db_->HeldReadCurrent()) db_->BeginHeldRead();
    if (mode == Mode::kWrite) db_->EndHeldRead();
    held_ = db_->holding_;
    // Prepared once, as every registry call begins and ends a transaction.
    if (!held_) {
      Query(db_, db_->Statement(mode == Mode::kWrite ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED")).Run();
    }
  } else {
    if (mode == Mode::kWrite && !db_->writing_) {
      throw std::logic_error("a write transaction nested inside a read transaction");
    }
    db_->Exec("SAVEPOINT nested" + std::to_string(db_->depth_));
  }
  ++db_->depth_;
}

void Database::TransactionScope::Commit() {
  const int level = db_->depth_ - 1;
  if (level == 0) {
    // A held read stays open for the next read.
    if (!held_) Query(db_, db_->Statement("COMMIT")).Run();
  } else {
    db_->Exec("RELEASE nested" + std::to_string(level));
  }
  committed_ = true;
  db_->depth_ = level;
}

Database::TransactionScope::~TransactionScope() {
  if (committed_) return;
  const int level = db_->depth_ - 1;
  // Best effort: a failing rollback leaves SQLite to roll back when the connection closes.
  const std::string sql = level == 0 ? std::string("ROLLBACK")
                                     : "ROLLBACK TO nested" + std::to_string(level) +
                                           "; RELEASE nested" + std::to_string(level);
  sqlite3_exec(db_->db_, sql.c_str(), nullptr, nullptr, nullptr);
  db_->depth_ = level;
  if (level == 0) db_->holding_ = false;
  ++db_->rollbacks_;
}

}  // namespace dav::platform::sim
