#include "platform/sim/machine_snapshots.h"

#include <sqlite3.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/platform.h"
#include "platform/sim/dos_attributes.h"
#include "platform/sim/host_files.h"

namespace dav::platform::sim {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDatabase = "registry.db";
constexpr const char* kDrives = "drives";
constexpr const char* kTakenFile = "taken";
constexpr const char* kSnapshots = "snapshots";
constexpr const char* kStaged = "restore.staged";  // being put together
constexpr const char* kReady = "restore.ready";    // committed: to be put in place
constexpr const char* kOld = "restore.old";        // the drives being replaced

// For the tests of a crash during restore: davhost ends at once at the named point.
void StopHereForTests(const char* point) {
  const char* stop = std::getenv("DAVHOST_TEST_RESTORE_STOP");
  if (stop != nullptr && std::string(stop) == point) _exit(9);
}

void CheckName(const std::string& name) {
  const bool ok = !name.empty() && name.front() != '.' && name.size() <= 100 &&
                  std::all_of(name.begin(), name.end(), [](char c) {
                    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
                  });
  if (!ok) {
    throw PlatformError(
        "a snapshot name is letters, digits, '.', '_' and '-' (not first '.'), not '" + name + "'");
  }
}

void Fail(const std::string& what, const std::error_code& error) {
  throw PlatformError(what + ": " + error.message());
}

void RemoveAll(const fs::path& path) {
  std::error_code error;
  fs::remove_all(path, error);
  if (error) Fail("cannot remove " + path.string(), error);
}

void Rename(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::rename(from, to, error);
  if (error) Fail("cannot rename " + from.string() + " to " + to.string(), error);
}

// The database through SQLite's online backup: a consistent copy, also while another
// process writes to it.
void BackUpDatabase(const fs::path& from, const fs::path& to) {
  sqlite3* source = nullptr;
  sqlite3* target = nullptr;
  auto close = [&] {
    sqlite3_close_v2(source);
    sqlite3_close_v2(target);
  };
  int rc = sqlite3_open_v2(from.c_str(), &source, SQLITE_OPEN_READONLY, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_open_v2(to.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  }
  if (rc == SQLITE_OK) {
    sqlite3_busy_timeout(source, 5000);
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    if (backup == nullptr) {
      rc = sqlite3_errcode(target);
    } else {
      do {
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(10);
      } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
      rc = rc == SQLITE_DONE ? sqlite3_backup_finish(backup) : (sqlite3_backup_finish(backup), rc);
    }
  }
  const std::string message = sqlite3_errstr(rc);
  close();
  if (rc != SQLITE_OK) {
    throw PlatformError("cannot copy the registry database " + from.string() + ": " + message);
  }
}

void CopyAttributes(const fs::path& from, const fs::path& to) {
  char names[4096];
  const ssize_t length = llistxattr(from.c_str(), names, sizeof names);
  for (ssize_t at = 0; at < length;
       at += static_cast<ssize_t>(std::string(names + at).size()) + 1) {
    char value[256];
    const ssize_t size = lgetxattr(from.c_str(), names + at, value, sizeof value);
    if (size < 0 ||
        lsetxattr(to.c_str(), names + at, value, static_cast<std::size_t>(size), 0) != 0) {
      throw PlatformError("cannot copy the attributes of " + from.string());
    }
  }
}

std::string UtcNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
  return text;
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

void CopyDrives(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to, error);
  if (error) Fail("cannot create " + to.string(), error);
  CopyAttributes(from, to);
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    const fs::path target = to / entry.path().filename();
    if (entry.is_directory()) {
      CopyDrives(entry.path(), target);
    } else {
      fs::copy_file(entry.path(), target, error);
      if (error) Fail("cannot copy " + entry.path().string(), error);
      // A copy of a read-only machine is the copier's to change.
      fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, error);
      CopyAttributes(entry.path(), target);
    }
  }
}

void PutBackDrives(const fs::path& kept, const fs::path& drives,
                   const std::vector<fs::path>& changed) {
  std::vector<fs::path> paths = changed;
  // A folder sorts before what it holds: what is removed goes deepest first, what is put
  // back shallowest first.
  std::sort(paths.begin(), paths.end());
  paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
  std::error_code error;
  for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
    const fs::file_status was = fs::symlink_status(kept / *path, error);
    const fs::file_status is = fs::symlink_status(drives / *path, error);
    if (!fs::exists(is) || (fs::is_directory(was) && fs::is_directory(is))) continue;
    // A file goes even when kept has one: copied over, it would keep attributes of its own.
    fs::remove_all(drives / *path, error);
    if (error) Fail("cannot remove " + (drives / *path).string(), error);
  }
  for (const fs::path& path : paths) {
    const fs::path from = kept / path;
    const fs::path to = drives / path;
    const fs::file_status was = fs::symlink_status(from, error);
    if (fs::is_directory(was)) {
      fs::create_directory(to, error);
      if (error) Fail("cannot create " + to.string(), error);
      // A folder's attributes as a whole, so that one given since is taken away again.
      if (WriteDosAttributes(to, true, ReadDosAttributes(from, true)) != kErrorSuccess) {
        throw PlatformError("cannot put back the attributes of " + to.string());
      }
    } else if (fs::exists(was)) {
      fs::copy_file(from, to, error);
      if (error) Fail("cannot copy " + from.string(), error);
      fs::permissions(to, fs::perms::owner_write, fs::perm_options::add, error);
      CopyAttributes(from, to);
    }
  }
}

void CopyMachine(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to, error);
  if (error) Fail("cannot create " + to.string(), error);
  BackUpDatabase(from / kDatabase, to / kDatabase);
  CopyDrives(from / kDrives, to / kDrives);
}

void CopyMachineAsStored(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to, error);
  if (error) Fail("cannot create " + to.string(), error);
  // The database and its write-ahead log as they are on disk: opening them through SQLite,
  // even read-only, would rewrite the log's index (registry.db-shm) of the machine, which
  // must stay as it was (and cannot be written on a read-only machine). The copy rebuilds
  // its own index when it opens.
  for (const std::string& name : {std::string(kDatabase), std::string(kDatabase) + "-wal"}) {
    if (!fs::exists(from / name, error)) continue;
    fs::copy_file(from / name, to / name, error);
    if (error) Fail("cannot copy " + (from / name).string(), error);
    fs::permissions(to / name, fs::perms::owner_write, fs::perm_options::add, error);
    if (error) Fail("cannot make " + (to / name).string() + " writable", error);
  }
  if (fs::is_directory(from / kDrives, error)) CopyDrives(from / kDrives, to / kDrives);
}

fs::path SnapshotFolder(const fs::path& machine, const std::string& name) {
  CheckName(name);
  return machine / kSnapshots / name;
}

void TakeSnapshot(const fs::path& machine, const std::string& name) {
  const fs::path folder = SnapshotFolder(machine, name);
  std::error_code error;
  if (fs::exists(folder, error)) throw PlatformError("there is a snapshot '" + name + "' already");
  // Put together beside its place, then renamed: a snapshot is whole or not there.
  const fs::path staged = machine / kSnapshots / ("." + name + ".staged");
  RemoveAll(staged);
  CopyMachine(machine, staged);
  const std::string taken = UtcNow() + "\n";
  if (WriteFileAtomically(staged / kTakenFile, taken, std::nullopt) != kErrorSuccess) {
    throw PlatformError("cannot write " + (staged / kTakenFile).string());
  }
  Rename(staged, folder);
}

std::vector<SnapshotInfo> ListSnapshots(const fs::path& machine) {
  std::vector<SnapshotInfo> snapshots;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(machine / kSnapshots, error)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.front() == '.' || !entry.is_directory()) continue;
    std::string taken = ReadBytes(entry.path() / kTakenFile);
    if (!taken.empty() && taken.back() == '\n') taken.pop_back();
    snapshots.push_back({name, taken});
  }
  std::sort(snapshots.begin(), snapshots.end(),
            [](const SnapshotInfo& a, const SnapshotInfo& b) { return a.name < b.name; });
  return snapshots;
}

void RestoreSnapshot(const fs::path& machine, const std::string& name) {
  const fs::path folder = SnapshotFolder(machine, name);
  std::error_code error;
  if (!fs::is_directory(folder, error)) throw PlatformError("there is no snapshot '" + name + "'");
  FinishInterruptedRestore(machine);
  RemoveAll(machine / kStaged);
  CopyMachine(folder, machine / kStaged);
  StopHereForTests("staged");
  Rename(machine / kStaged, machine / kReady);  // the restore happens here
  StopHereForTests("committed");
  FinishInterruptedRestore(machine);
}

void FinishInterruptedRestore(const fs::path& machine) {
  const fs::path ready = machine / kReady;
  std::error_code error;
  if (!fs::is_directory(ready, error)) {
    RemoveAll(machine / kStaged);  // a restore that never reached its commit point
    return;
  }
  if (fs::exists(ready / kDatabase, error)) {
    // The old database's write-ahead log must not be read into the restored one.
    for (const char* suffix : {"-wal", "-shm"}) {
      fs::remove(machine / (std::string(kDatabase) + suffix), error);
      if (error) Fail("cannot remove the old database's log", error);
    }
    Rename(ready / kDatabase, machine / kDatabase);
  }
  StopHereForTests("database");
  if (fs::exists(ready / kDrives, error)) {
    if (fs::exists(machine / kDrives, error)) {
      RemoveAll(machine / kOld);
      Rename(machine / kDrives, machine / kOld);
    }
    Rename(ready / kDrives, machine / kDrives);
  }
  RemoveAll(machine / kOld);
  RemoveAll(ready);
}

}  // namespace dav::platform::sim
