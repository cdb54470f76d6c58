// Registry calls of the simulated PC beside the same work done as bare SQLite statements on
// a copy of the same database, in the same run. The machine is shared and noisy, so a figure
// means little alone: the table at the end gives each operation's ratio (ours / bare).
//
// "Bare" is what a program that knew the schema would do with prepared statements of its own
// and nothing else: an open walks the key levels with one SELECT each, a query is one SELECT,
// a write is one autocommit statement (its own durable transaction, like ours), an
// enumeration steps one statement over all rows. Times are wall-clock (UseRealTime): a write
// spends much of its time in the kernel, not on the CPU.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace dav::platform::sim {
namespace {

constexpr const char* kBenchKey = "Software\\Bench";
constexpr std::int64_t kHkcuId = 2;  // the root row of HKEY_CURRENT_USER

std::string Dword(std::uint32_t n) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &n, sizeof n);
  return data;
}

std::string Numbered(const char* prefix, std::uint64_t n) {
  return prefix + std::to_string(n);
}

// A raw connection to a machine database, with the pragmas and the collation of the
// machine's own connection and nothing else.
class RawDb {
 public:
  explicit RawDb(const std::filesystem::path& file) {
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
      throw std::runtime_error("open " + file.string());
    }
    sqlite3_busy_timeout(db_, 10000);
    sqlite3_create_collation_v2(db_, "WINUPPER", SQLITE_UTF8, nullptr, &CompareUpper, nullptr);
    Exec("PRAGMA synchronous=NORMAL; PRAGMA journal_mode=WAL");
  }
  ~RawDb() {
    for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
    sqlite3_close_v2(db_);
  }
  RawDb(const RawDb&) = delete;
  RawDb& operator=(const RawDb&) = delete;

  void Exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db_));
    }
  }

  // The statement, prepared once; reset and unbound for the next use.
  sqlite3_stmt* Statement(const char* sql) {
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
      sqlite3_stmt* stmt = nullptr;
      if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) !=
          SQLITE_OK) {
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db_));
      }
      found = statements_.emplace(sql, stmt).first;
    }
    sqlite3_reset(found->second);
    return found->second;
  }

  static void Text(sqlite3_stmt* stmt, int index, const std::string& text) {
    sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
  }

  // The child key's id, 0 when there is none.
  std::int64_t Child(std::int64_t parent, const std::string& name) {
    sqlite3_stmt* stmt = Statement("SELECT id FROM reg_keys WHERE parent = ? AND name = ?");
    sqlite3_bind_int64(stmt, 1, parent);
    Text(stmt, 2, name);
    const std::int64_t id = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_reset(stmt);
    return id;
  }

  std::int64_t Walk(std::int64_t id, const std::vector<std::string>& levels) {
    for (const auto& level : levels) {
      id = Child(id, level);
      if (id == 0) break;
    }
    return id;
  }

  void Done(sqlite3_stmt* stmt) {
    if (sqlite3_step(stmt) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    sqlite3_reset(stmt);
  }

  std::int64_t LastId() { return sqlite3_last_insert_rowid(db_); }

 private:
  static int CompareUpper(void*, int leftLen, const void* left, int rightLen, const void* right) {
    const auto* l = static_cast<const unsigned char*>(left);
    const auto* r = static_cast<const unsigned char*>(right);
    for (int i = 0; i < std::min(leftLen, rightLen); ++i) {
      const int a = (l[i] >= 'a' && l[i] <= 'z') ? l[i] - 32 : l[i];
      const int b = (r[i] >= 'a' && r[i] <= 'z') ? r[i] - 32 : r[i];
      if (a != b) return a - b;
    }
    return leftLen - rightLen;
  }

  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
};

// A new machine in a temporary folder, removed afterwards. Bulk set-up (many keys or values)
// goes straight into its database in one transaction before the machine is opened.
class BenchMachine {
 public:
  BenchMachine() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dav-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    folder_ = pattern;
    auto machine = Machine::Create(folder_);
    KeyHandle key = kNoKey;
    machine->registry().CreateKey(kHKeyCurrentUser, kBenchKey, &key);
    machine->registry().CloseKey(key);
  }
  ~BenchMachine() {
    raw_.reset();
    machine_.reset();
    std::filesystem::remove_all(folder_);
  }

  std::filesystem::path database() const { return folder_ / "registry.db"; }

  // Adds subkeys "key <n>" or values "value <n>" below the bench key (before Open/Raw).
  void Fill(std::uint32_t keys, std::uint32_t values) {
    RawDb db(database());
    const std::int64_t bench = db.Walk(kHkcuId, {"Software", "Bench"});
    db.Exec("BEGIN");
    for (std::uint32_t n = 0; n < keys; ++n) {
      sqlite3_stmt* stmt = db.Statement("INSERT INTO reg_keys (parent, name) VALUES (?, ?)");
      sqlite3_bind_int64(stmt, 1, bench);
      RawDb::Text(stmt, 2, Numbered("key ", n));
      db.Done(stmt);
    }
    for (std::uint32_t n = 0; n < values; ++n) {
      sqlite3_stmt* stmt = db.Statement(
          "INSERT INTO reg_values (key, name, position, type, data) VALUES (?, ?, ?, 1, "
          "x'6461746100')");
      sqlite3_bind_int64(stmt, 1, bench);
      RawDb::Text(stmt, 2, Numbered("value ", n));
      sqlite3_bind_int64(stmt, 3, n + 1);
      db.Done(stmt);
    }
    db.Exec("COMMIT");
  }

  Registry& registry() {
    if (!machine_) machine_ = Machine::Open(folder_);
    return machine_->registry();
  }
  RawDb& raw() {
    if (!raw_) raw_ = std::make_unique<RawDb>(database());
    return *raw_;
  }

  KeyHandle Key(const std::string& path) {
    KeyHandle key = kNoKey;
    if (registry().CreateKey(kHKeyCurrentUser, path, &key) != kErrorSuccess) {
      throw std::runtime_error("cannot create " + path);
    }
    return key;
  }
  std::int64_t BareKey() { return raw().Walk(kHkcuId, {"Software", "Bench"}); }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<Machine> machine_;
  std::unique_ptr<RawDb> raw_;
};

#define CHECK_OK(call)                    \
  if ((call) != kErrorSuccess) {          \
    state.SkipWithError(#call " failed"); \
    break;                                \
  }

// ---- open, query, close ----------------------------------------------------------------

void OursOpenClose(benchmark::State& state) {
  BenchMachine pc;
  for (auto _ : state) {
    KeyHandle key = kNoKey;
    CHECK_OK(pc.registry().OpenKey(kHKeyCurrentUser, kBenchKey, &key));
    pc.registry().CloseKey(key);
  }
  state.SetItemsProcessed(state.iterations());
}

void BareOpenClose(benchmark::State& state) {
  BenchMachine pc;
  for (auto _ : state) {
    if (pc.raw().Walk(kHkcuId, {"Software", "Bench"}) == 0) {
      state.SkipWithError("walk failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
}

void OursQuery(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle key = pc.Key(kBenchKey);
  pc.registry().SetValue(key, "Value", kRegSz, "C:\\Program Files\\Bench\\bench.exe");
  std::uint8_t buffer[256];
  for (auto _ : state) {
    std::uint32_t size = sizeof buffer;
    CHECK_OK(pc.registry().QueryValue(key, "Value", nullptr, buffer, &size));
    benchmark::DoNotOptimize(buffer);
  }
  state.SetItemsProcessed(state.iterations());
}

// One value read as bare SQLite reads it: one SELECT, the bytes copied out.
bool BareRead(RawDb& db, std::int64_t key, const std::string& name, std::uint8_t* buffer) {
  sqlite3_stmt* stmt = db.Statement("SELECT type, data FROM reg_values WHERE key = ? AND name = ?");
  sqlite3_bind_int64(stmt, 1, key);
  RawDb::Text(stmt, 2, name);
  const bool found = sqlite3_step(stmt) == SQLITE_ROW;
  if (found) {
    std::memcpy(buffer, sqlite3_column_blob(stmt, 1),
                static_cast<std::size_t>(sqlite3_column_bytes(stmt, 1)));
  }
  sqlite3_reset(stmt);
  return found;
}

// One value written as bare SQLite writes it: one autocommit upsert.
void BareWrite(RawDb& db, std::int64_t key, const std::string& name, const std::string& data) {
  sqlite3_stmt* stmt = db.Statement(
      "INSERT INTO reg_values (key, name, position, type, data) VALUES (?1, ?2, "
      "(SELECT coalesce(max(position), 0) + 1 FROM reg_values WHERE key = ?1), 4, ?3) "
      "ON CONFLICT (key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
  sqlite3_bind_int64(stmt, 1, key);
  RawDb::Text(stmt, 2, name);
  sqlite3_bind_blob(stmt, 3, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
  db.Done(stmt);
}

void BareQuery(benchmark::State& state) {
  BenchMachine pc;
  const std::int64_t key = pc.BareKey();
  BareWrite(pc.raw(), key, "Value", "C:\\Program Files\\Bench\\bench.exe");
  std::uint8_t buffer[256];
  for (auto _ : state) {
    if (!BareRead(pc.raw(), key, "Value", buffer)) {
      state.SkipWithError("read failed");
      break;
    }
    benchmark::DoNotOptimize(buffer);
  }
  state.SetItemsProcessed(state.iterations());
}

void OursOpenQueryClose(benchmark::State& state) {
  BenchMachine pc;
  {
    const KeyHandle key = pc.Key(kBenchKey);
    pc.registry().SetValue(key, "Value", kRegSz, "C:\\Program Files\\Bench\\bench.exe");
    pc.registry().CloseKey(key);
  }
  std::uint8_t buffer[256];
  for (auto _ : state) {
    KeyHandle key = kNoKey;
    CHECK_OK(pc.registry().OpenKey(kHKeyCurrentUser, kBenchKey, &key));
    std::uint32_t size = sizeof buffer;
    CHECK_OK(pc.registry().QueryValue(key, "Value", nullptr, buffer, &size));
    pc.registry().CloseKey(key);
    benchmark::DoNotOptimize(buffer);
  }
  state.SetItemsProcessed(state.iterations());
}

void BareOpenQueryClose(benchmark::State& state) {
  BenchMachine pc;
  BareWrite(pc.raw(), pc.BareKey(), "Value", "C:\\Program Files\\Bench\\bench.exe");
  std::uint8_t buffer[256];
  for (auto _ : state) {
    const std::int64_t key = pc.raw().Walk(kHkcuId, {"Software", "Bench"});
    if (key == 0 || !BareRead(pc.raw(), key, "Value", buffer)) {
      state.SkipWithError("read failed");
      break;
    }
    benchmark::DoNotOptimize(buffer);
  }
  state.SetItemsProcessed(state.iterations());
}

// ---- durable writes --------------------------------------------------------------------

void OursSet(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle key = pc.Key(kBenchKey);
  std::uint32_t n = 0;
  for (auto _ : state) {
    CHECK_OK(pc.registry().SetValue(key, Numbered("v", n % 1000), kRegDword, Dword(n)));
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}

void BareSet(benchmark::State& state) {
  BenchMachine pc;
  const std::int64_t key = pc.BareKey();
  std::uint32_t n = 0;
  for (auto _ : state) {
    BareWrite(pc.raw(), key, Numbered("v", n % 1000), Dword(n));
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}

// The 1,000 keys written in turn exist already, as the policy keys that an apply writes to
// mostly do; making a new key is measured on its own below.
void OursCreateSetClose(benchmark::State& state) {
  BenchMachine pc;
  pc.Fill(1000, 0);
  std::uint32_t n = 0;
  for (auto _ : state) {
    KeyHandle key = kNoKey;
    const std::string path = std::string(kBenchKey) + Numbered("\\key ", n % 1000);
    CHECK_OK(pc.registry().CreateKey(kHKeyCurrentUser, path, &key));
    CHECK_OK(pc.registry().SetValue(key, "v", kRegDword, Dword(n)));
    pc.registry().CloseKey(key);
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}

// Creating a key that may exist: find it level by level, insert it when it is missing.
std::int64_t BareCreate(RawDb& db, std::int64_t parent, const std::string& name) {
  if (const std::int64_t id = db.Child(parent, name); id != 0) return id;
  sqlite3_stmt* stmt = db.Statement("INSERT INTO reg_keys (parent, name) VALUES (?, ?)");
  sqlite3_bind_int64(stmt, 1, parent);
  RawDb::Text(stmt, 2, name);
  db.Done(stmt);
  return db.LastId();
}

void BareCreateSetClose(benchmark::State& state) {
  BenchMachine pc;
  pc.Fill(1000, 0);
  std::uint32_t n = 0;
  for (auto _ : state) {
    const std::int64_t bench = pc.raw().Walk(kHkcuId, {"Software", "Bench"});
    const std::int64_t key = BareCreate(pc.raw(), bench, Numbered("key ", n % 1000));
    BareWrite(pc.raw(), key, "v", Dword(n));
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}

void OursCreateNewKey(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle bench = pc.Key(kBenchKey);
  std::uint32_t n = 0;
  for (auto _ : state) {
    KeyHandle key = kNoKey;
    CHECK_OK(pc.registry().CreateKey(bench, Numbered("new ", n), &key));
    pc.registry().CloseKey(key);
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}

void BareCreateNewKey(benchmark::State& state) {
  BenchMachine pc;
  const std::int64_t bench = pc.BareKey();
  std::uint32_t n = 0;
  for (auto _ : state) {
    BareCreate(pc.raw(), bench, Numbered("new ", n));
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}

// The apply-unit question: 1,000 values written one durable transaction each (as every
// registry call is), beside bare SQLite writing them all in one transaction, the most a
// whole-apply transaction could save.
constexpr std::uint32_t kUnitValues = 1000;

void OursValuesOneByOne(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle key = pc.Key(kBenchKey);
  std::uint32_t round = 0;
  for (auto _ : state) {
    for (std::uint32_t n = 0; n < kUnitValues; ++n) {
      CHECK_OK(pc.registry().SetValue(key, Numbered("v", n), kRegDword, Dword(n + round)));
    }
    ++round;
  }
  state.SetItemsProcessed(state.iterations() * kUnitValues);
}

void BareValuesAsOneUnit(benchmark::State& state) {
  BenchMachine pc;
  const std::int64_t key = pc.BareKey();
  std::uint32_t round = 0;
  for (auto _ : state) {
    pc.raw().Exec("BEGIN IMMEDIATE");
    for (std::uint32_t n = 0; n < kUnitValues; ++n) {
      BareWrite(pc.raw(), key, Numbered("v", n), Dword(n + round));
    }
    pc.raw().Exec("COMMIT");
    ++round;
  }
  state.SetItemsProcessed(state.iterations() * kUnitValues);
}

// ---- deletes: the victims are made in batches of 1,000 outside the timing ----------------

constexpr std::uint32_t kBatch = 1000;

// Deletes victim n at iteration n; make(first) makes victims first .. first + kBatch - 1
// outside the timing. remove returns false on a failure.
template <typename Make, typename Remove>
void DeleteInBatches(benchmark::State& state, Make make, Remove remove) {
  std::uint32_t n = 0;
  for (auto _ : state) {
    if (n % kBatch == 0) {
      state.PauseTiming();
      make(n);
      state.ResumeTiming();
    }
    if (!remove(n)) {
      state.SkipWithError("delete failed");
      break;
    }
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}

void OursDeleteValue(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle key = pc.Key(kBenchKey);
  DeleteInBatches(
      state,
      [&](std::uint32_t first) {
        for (std::uint32_t i = first; i < first + kBatch; ++i) {
          pc.registry().SetValue(key, Numbered("v", i), kRegDword, Dword(i));
        }
      },
      [&](std::uint32_t n) {
        return pc.registry().DeleteValue(key, Numbered("v", n)) == kErrorSuccess;
      });
}

void BareDeleteValue(benchmark::State& state) {
  BenchMachine pc;
  const std::int64_t key = pc.BareKey();
  DeleteInBatches(
      state,
      [&](std::uint32_t first) {
        for (std::uint32_t i = first; i < first + kBatch; ++i) {
          BareWrite(pc.raw(), key, Numbered("v", i), Dword(i));
        }
      },
      [&](std::uint32_t n) {
        sqlite3_stmt* stmt =
            pc.raw().Statement("DELETE FROM reg_values WHERE key = ? AND name = ?");
        sqlite3_bind_int64(stmt, 1, key);
        const std::string name = Numbered("v", n);
        RawDb::Text(stmt, 2, name);
        pc.raw().Done(stmt);
        return true;
      });
}

void OursDeleteKey(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle bench = pc.Key(kBenchKey);
  DeleteInBatches(
      state,
      [&](std::uint32_t first) {
        for (std::uint32_t i = first; i < first + kBatch; ++i) {
          KeyHandle key = kNoKey;
          pc.registry().CreateKey(bench, Numbered("k", i), &key);
          pc.registry().CloseKey(key);
        }
      },
      [&](std::uint32_t n) {
        return pc.registry().DeleteKey(bench, Numbered("k", n)) == kErrorSuccess;
      });
}

void BareDeleteKey(benchmark::State& state) {
  BenchMachine pc;
  const std::int64_t bench = pc.BareKey();
  RawDb& db = pc.raw();
  DeleteInBatches(
      state,
      [&](std::uint32_t first) {
        for (std::uint32_t i = first; i < first + kBatch; ++i) {
          BareCreate(db, bench, Numbered("k", i));
        }
      },
      [&](std::uint32_t n) {
        // As a registry delete must: the key found, no subkeys, its values and then the key.
        const std::int64_t key = db.Child(bench, Numbered("k", n));
        sqlite3_stmt* children = db.Statement("SELECT 1 FROM reg_keys WHERE parent = ? LIMIT 1");
        sqlite3_bind_int64(children, 1, key);
        const bool hasChildren = sqlite3_step(children) == SQLITE_ROW;
        sqlite3_reset(children);
        if (key == 0 || hasChildren) return false;
        db.Exec("BEGIN IMMEDIATE");
        sqlite3_stmt* values = db.Statement("DELETE FROM reg_values WHERE key = ?");
        sqlite3_bind_int64(values, 1, key);
        db.Done(values);
        sqlite3_stmt* row = db.Statement("DELETE FROM reg_keys WHERE id = ?");
        sqlite3_bind_int64(row, 1, key);
        db.Done(row);
        db.Exec("COMMIT");
        return true;
      });
}

// ---- enumeration by index, per item, at two sizes to show the growth -------------------------

// Walks indexes 0, 1, 2 ... of a key with count subkeys or values, as every caller does.
template <typename Enumerate>
void OursEnumerate(benchmark::State& state, bool keys, Enumerate enumerate) {
  const auto count = static_cast<std::uint32_t>(state.range(0));
  BenchMachine pc;
  pc.Fill(keys ? count : 0, keys ? 0 : count);
  const KeyHandle key = pc.Key(kBenchKey);
  for (auto _ : state) {
    std::uint32_t index = 0;
    while (enumerate(pc.registry(), key, index) == kErrorSuccess) ++index;
    if (index != count) {
      state.SkipWithError("wrong count");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// One statement stepped over the rows of sql, each row copied out by read.
template <typename Read>
void BareEnumerate(benchmark::State& state, bool keys, const char* sql, Read read) {
  const auto count = static_cast<std::uint32_t>(state.range(0));
  BenchMachine pc;
  pc.Fill(keys ? count : 0, keys ? 0 : count);
  const std::int64_t key = pc.BareKey();
  for (auto _ : state) {
    sqlite3_stmt* stmt = pc.raw().Statement(sql);
    sqlite3_bind_int64(stmt, 1, key);
    std::uint32_t index = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      read(stmt);
      ++index;
    }
    sqlite3_reset(stmt);
    if (index != count) {
      state.SkipWithError("wrong count");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}

std::string ColumnText(sqlite3_stmt* stmt, int column) {
  return std::string(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                     static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
}

void OursEnumKeys(benchmark::State& state) {
  std::string name;
  OursEnumerate(state, true, [&](Registry& registry, KeyHandle key, std::uint32_t index) {
    return registry.EnumKey(key, index, &name);
  });
}

void BareEnumKeys(benchmark::State& state) {
  std::string name;
  BareEnumerate(state, true,
                "SELECT name FROM reg_keys WHERE parent = ? ORDER BY name COLLATE WINUPPER",
                [&](sqlite3_stmt* stmt) { name = ColumnText(stmt, 0); });
}

void OursEnumValues(benchmark::State& state) {
  std::string name;
  ValueType type = 0;
  std::string data;
  OursEnumerate(state, false, [&](Registry& registry, KeyHandle key, std::uint32_t index) {
    return registry.EnumValue(key, index, &name, &type, &data);
  });
}

void BareEnumValues(benchmark::State& state) {
  std::string name;
  std::string data;
  BareEnumerate(state, false,
                "SELECT name, type, data FROM reg_values WHERE key = ? ORDER BY position",
                [&](sqlite3_stmt* stmt) {
                  name = ColumnText(stmt, 0);
                  data = ColumnText(stmt, 2);
                });
}

// ---- the table ------------------------------------------------------------------------

constexpr int kRounds = 3;

struct Operation {
  const char* name;
  void (*ours)(benchmark::State&);
  void (*bare)(benchmark::State&);
  std::int64_t arg;      // the size for the enumerations, else 0
  double goalPerSecond;  // 0: no goal of its own
  double goalRatio = 0;  // the most CPU time per item against bare; 0: none
};

const Operation kOperations[] = {
    {"open+close", OursOpenClose, BareOpenClose, 0, 0},
    {"query", OursQuery, BareQuery, 0, 0},
    {"open+query+close", OursOpenQueryClose, BareOpenQueryClose, 0, 100000},
    {"set (durable)", OursSet, BareSet, 0, 0},
    {"create+set+close (durable)", OursCreateSetClose, BareCreateSetClose, 0, 20000},
    {"create new key+close", OursCreateNewKey, BareCreateNewKey, 0, 0},
    {"1,000 sets, per value: bare 1 txn", OursValuesOneByOne, BareValuesAsOneUnit, 0, 0},
    {"delete value", OursDeleteValue, BareDeleteValue, 0, 0},
    {"delete key", OursDeleteKey, BareDeleteKey, 0, 0},
    {"enum 1,000 subkeys, per key", OursEnumKeys, BareEnumKeys, 1000, 0, 3},
    {"enum 100,000 subkeys, per key", OursEnumKeys, BareEnumKeys, 100000, 0, 3},
    {"enum 1,000 values, per value", OursEnumValues, BareEnumValues, 1000, 0, 3},
    {"enum 100,000 values, per value", OursEnumValues, BareEnumValues, 100000, 0, 3},
};

// Prints the runs as usual and keeps, for the table, each one's best time per item: wall
// clock, and the CPU time of the process (user and system), which a loaded machine disturbs
// less.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type == Run::RT_Aggregate) continue;
      const auto items = run.counters.find("items_per_second");
      if (items == run.counters.end() || items->second.value <= 0) continue;
      const double real = 1e9 / items->second.value;
      const double cpu = real * run.cpu_accumulated_time / run.real_accumulated_time;
      Best& best = best_[run.run_name.function_name];
      best.real = best.real > 0 ? std::min(best.real, real) : real;
      best.cpu = best.cpu > 0 ? std::min(best.cpu, cpu) : cpu;
    }
  }

  void PrintTable() const {
    std::printf("\nBest of %d rounds, µs per item (wall clock; CPU in brackets)\n", kRounds);
    std::printf("%-36s %18s %18s %13s %14s\n", "operation", "ours", "bare", "ratio", "goal");
    for (const Operation& op : kOperations) {
      const auto ours = best_.find(std::string(op.name) + "/ours");
      const auto bare = best_.find(std::string(op.name) + "/bare");
      if (ours == best_.end() || bare == best_.end()) continue;
      const Best& o = ours->second;
      const Best& b = bare->second;
      char goal[64] = "";
      if (op.goalPerSecond > 0) {
        std::snprintf(goal, sizeof goal, ">= %.0fk/s %s", op.goalPerSecond / 1000,
                      1e9 / o.real >= op.goalPerSecond ? "met" : "missed");
      } else if (op.goalRatio > 0) {
        std::snprintf(goal, sizeof goal, "<= %.0fx %s", op.goalRatio,
                      o.cpu / b.cpu <= op.goalRatio ? "met" : "missed");
      }
      std::printf("%-36s %8.2f (%7.2f) %8.2f (%7.2f) %5.2f (%5.2f) %14s\n", op.name, o.real / 1000,
                  o.cpu / 1000, b.real / 1000, b.cpu / 1000, o.real / b.real, o.cpu / b.cpu, goal);
    }
  }

 private:
  struct Best {
    double real = 0;
    double cpu = 0;
  };
  std::map<std::string, Best> best_;
};

}  // namespace
}  // namespace dav::platform::sim

int main(int argc, char** argv) {
  using namespace dav::platform::sim;
  // Ours and bare of one operation run back to back, so that they meet the same load, and
  // the whole list runs several rounds, so that a burst of load spoils one round only.
  for (int round = 0; round < kRounds; ++round) {
    for (const Operation& op : kOperations) {
      for (const bool ours : {true, false}) {
        const std::string name = std::string(op.name) + (ours ? "/ours" : "/bare");
        auto* bench = benchmark::RegisterBenchmark(name.c_str(), ours ? op.ours : op.bare);
        if (op.arg > 0) bench->Arg(op.arg);
        bench->UseRealTime();
      }
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintTable();
  benchmark::Shutdown();
  return 0;
}
