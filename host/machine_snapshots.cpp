#include "host/machine_snapshots.h"

#include <sqlite3.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <system_error>

#include "host/attribute_text.h"
#include "host/command_error.h"
#include "host/host_files.h"
#include "host/registry_tree.h"
#include "host/value_text.h"
#include "platform/code_page.h"
#include "platform/sim/machine.h"

namespace dav::host {
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
    throw CommandError(
        "a snapshot name is letters, digits, '.', '_' and '-' (not first '.'), not '" + name + "'");
  }
}

fs::path SnapshotFolder(const fs::path& machine, const std::string& name) {
  CheckName(name);
  return machine / kSnapshots / name;
}

void Fail(const std::string& what, const std::error_code& error) {
  throw CommandError(what + ": " + error.message());
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
    throw CommandError("cannot copy the registry database " + from.string() + ": " + message);
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
      throw CommandError("cannot copy the attributes of " + from.string());
    }
  }
}

// The drives folder, every file and folder with its DOS attributes.
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
      CopyAttributes(entry.path(), target);
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

// A copy of a machine (database and drives) in to, which must not exist.
void CopyMachine(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to, error);
  if (error) Fail("cannot create " + to.string(), error);
  BackUpDatabase(from / kDatabase, to / kDatabase);
  CopyDrives(from / kDrives, to / kDrives);
}

std::unique_ptr<platform::sim::Machine> OpenMachine(const fs::path& folder) {
  try {
    return platform::sim::Machine::Open(folder);
  } catch (const platform::PlatformError& e) {
    throw CommandError(e.what());
  }
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// --- diff -------------------------------------------------------------------------------

using ValueMap = std::map<std::string, RegValue>;  // by upper-case name
struct KeyEntry {
  std::string path;
  ValueMap values;
};
using KeyMap = std::map<std::string, KeyEntry>;  // by upper-case path

KeyMap ReadRegistry(platform::sim::Machine& machine) {
  KeyMap keys;
  const std::uint32_t codePage = machine.system().AnsiCodePage();
  for (platform::KeyHandle hive : {platform::kHKeyClassesRoot, platform::kHKeyCurrentUser,
                                   platform::kHKeyLocalMachine, platform::kHKeyUsers}) {
    std::vector<RegKeySection> sections;
    std::vector<std::string> skipped;
    ReadKeyTree(machine.registry(), codePage, KeyPath{hive, ""}, &sections, &skipped);
    for (RegKeySection& section : sections) {
      KeyEntry& entry = keys[Upper(section.path)];
      entry.path = section.path;
      for (RegValue& value : section.values) entry.values[Upper(value.name)] = std::move(value);
    }
  }
  return keys;
}

std::string ValueText(const RegValue& value) {
  return ValueTypeName(value.type) + " " + FormatValueData(value.type, value.data);
}

std::string ValueName(const KeyEntry& key, const RegValue& value) {
  return key.path + "\\" + (value.name.empty() ? "@" : value.name);
}

void DiffRegistry(const KeyMap& before, const KeyMap& after, std::vector<MachineDifference>* out) {
  for (const auto& [id, key] : before) {
    const auto now = after.find(id);
    if (now == after.end()) {
      out->push_back({"removed", "key", key.path, "", ""});
      continue;
    }
    for (const auto& [name, value] : key.values) {
      const auto found = now->second.values.find(name);
      if (found == now->second.values.end()) {
        out->push_back({"removed", "value", ValueName(key, value), ValueText(value), ""});
      } else if (found->second.type != value.type || found->second.data != value.data) {
        out->push_back({"changed", "value", ValueName(key, value), ValueText(value),
                        ValueText(found->second)});
      }
    }
    for (const auto& [name, value] : now->second.values) {
      if (!key.values.count(name)) {
        out->push_back({"added", "value", ValueName(key, value), "", ValueText(value)});
      }
    }
  }
  for (const auto& [id, key] : after) {
    if (before.count(id)) continue;
    out->push_back({"added", "key", key.path, "", ""});
    for (const auto& [name, value] : key.values) {
      out->push_back({"added", "value", ValueName(key, value), "", ValueText(value)});
    }
  }
}

struct FileEntry {
  std::string windowsPath;  // "C:\Data\a.txt"
  fs::path host;
  bool folder = false;
};
using FileMap = std::map<std::string, FileEntry>;  // by upper-case Windows path

void ReadFiles(const fs::path& drives, FileMap* files) {
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(drives, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const std::string relative = fs::relative(it->path(), drives).string();  // "C/Data/a.txt"
    std::string windows =
        relative.substr(0, 1) + ":\\" + (relative.size() > 2 ? relative.substr(2) : "");
    std::replace(windows.begin(), windows.end(), '/', '\\');
    if (relative.size() <= 1) continue;  // the drive itself
    (*files)[Upper(windows)] = {windows, it->path(), it->is_directory()};
  }
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsIni(const std::string& windowsPath) {
  return windowsPath.size() > 4 && Upper(windowsPath.substr(windowsPath.size() - 4)) == ".INI";
}

// "[SECTION]KEY" -> (shown "[Section] Key", value), in the machine's code page.
std::map<std::string, std::pair<std::string, std::string>> IniEntries(const std::string& bytes,
                                                                      std::uint32_t codePage) {
  std::string text;
  platform::DecodeCodePage(codePage, bytes, &text);
  std::map<std::string, std::pair<std::string, std::string>> entries;
  std::string section;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[' && line.find(']') != std::string::npos) {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    entries[Upper("[" + section + "]" + key)] = {"[" + section + "] " + key,
                                                 line.substr(equals + 1)};
  }
  return entries;
}

void DiffIni(const std::string& windowsPath, const std::string& before, const std::string& after,
             std::uint32_t codePage, std::vector<MachineDifference>* out) {
  const auto old = IniEntries(before, codePage);
  const auto now = IniEntries(after, codePage);
  for (const auto& [id, entry] : old) {
    const auto found = now.find(id);
    const std::string what = windowsPath + " " + entry.first;
    if (found == now.end()) {
      out->push_back({"removed", "ini", what, entry.second, ""});
    } else if (found->second.second != entry.second) {
      out->push_back({"changed", "ini", what, entry.second, found->second.second});
    }
  }
  for (const auto& [id, entry] : now) {
    if (!old.count(id)) {
      out->push_back({"added", "ini", windowsPath + " " + entry.first, "", entry.second});
    }
  }
}

void DiffFiles(platform::sim::Machine& snapshot, platform::sim::Machine& machine,
               std::vector<MachineDifference>* out) {
  FileMap before, after;
  ReadFiles(snapshot.folder() / kDrives, &before);
  ReadFiles(machine.folder() / kDrives, &after);
  const std::uint32_t codePage = machine.system().AnsiCodePage();
  for (const auto& [id, file] : before) {
    const char* kind = file.folder ? "folder" : "file";
    const auto found = after.find(id);
    if (found == after.end()) {
      out->push_back({"removed", kind, file.windowsPath, "", ""});
      continue;
    }
    const std::string oldAttributes =
        AttributeLetters(snapshot.files().GetAttributes(file.windowsPath));
    const std::string newAttributes =
        AttributeLetters(machine.files().GetAttributes(found->second.windowsPath));
    if (oldAttributes != newAttributes) {
      out->push_back(
          {"changed", kind, file.windowsPath + " (attributes)", oldAttributes, newAttributes});
    }
    if (file.folder || found->second.folder) continue;
    const std::string oldBytes = ReadBytes(file.host);
    const std::string newBytes = ReadBytes(found->second.host);
    if (oldBytes == newBytes) continue;
    if (IsIni(file.windowsPath)) {
      DiffIni(file.windowsPath, oldBytes, newBytes, codePage, out);
    } else {
      out->push_back({"changed", kind, file.windowsPath, std::to_string(oldBytes.size()) + " bytes",
                      std::to_string(newBytes.size()) + " bytes"});
    }
  }
  for (const auto& [id, file] : after) {
    if (!before.count(id))
      out->push_back({"added", file.folder ? "folder" : "file", file.windowsPath, "", ""});
  }
}

}  // namespace

void TakeSnapshot(const fs::path& machine, const std::string& name) {
  const fs::path folder = SnapshotFolder(machine, name);
  std::error_code error;
  if (fs::exists(folder, error)) throw CommandError("there is a snapshot '" + name + "' already");
  // Put together beside its place, then renamed: a snapshot is whole or not there.
  const fs::path staged = machine / kSnapshots / ("." + name + ".staged");
  RemoveAll(staged);
  CopyMachine(machine, staged);
  std::string why;
  if (!WriteHostFile(HostPathText(staged / kTakenFile), UtcNow() + "\n", &why)) {
    throw CommandError(why);
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
  if (!fs::is_directory(folder, error)) throw CommandError("there is no snapshot '" + name + "'");
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

std::vector<MachineDifference> DiffSnapshot(const fs::path& machine, const std::string& name) {
  const fs::path folder = SnapshotFolder(machine, name);
  std::error_code error;
  if (!fs::is_directory(folder, error)) throw CommandError("there is no snapshot '" + name + "'");
  auto snapshot = OpenMachine(folder);
  auto now = OpenMachine(machine);
  std::vector<MachineDifference> differences;
  DiffRegistry(ReadRegistry(*snapshot), ReadRegistry(*now), &differences);
  DiffFiles(*snapshot, *now, &differences);
  return differences;
}

}  // namespace dav::host
