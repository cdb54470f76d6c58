#include "host/machine_diff.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "host/attribute_text.h"
#include "host/command_error.h"
#include "host/policy_rows.h"
#include "host/registry_tree.h"
#include "host/value_text.h"
#include "platform/code_page.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_snapshots.h"

namespace dav::host {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDrives = "drives";

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

// The document rows, probed on a scratch machine at the first changed value only: a diff
// without one does not pay for the probe.
class LazyPolicyRows {
 public:
  const PolicyRows& Get() {
    if (!rows_) rows_ = PolicyRows::Probe();
    return *rows_;
  }

 private:
  std::optional<PolicyRows> rows_;
};

// The row that writes a changed value, and what the value holds now (absent: removed).
std::string RowOf(LazyPolicyRows& rows, const KeyEntry& key, const std::string& name,
                  const RegValue* now) {
  const PolicyRow* row = rows.Get().Find(key.path, name);
  if (!row) return {};
  return DescribeRow(
      *row, now ? std::optional<RegistryData>(RegistryData{now->type, now->data}) : std::nullopt);
}

void DiffRegistry(const KeyMap& before, const KeyMap& after, LazyPolicyRows& rows,
                  std::vector<MachineDifference>* out) {
  for (const auto& [id, key] : before) {
    const auto now = after.find(id);
    if (now == after.end()) {
      out->push_back({"removed", "key", key.path, "", ""});
      continue;
    }
    for (const auto& [name, value] : key.values) {
      const auto found = now->second.values.find(name);
      if (found == now->second.values.end()) {
        out->push_back({"removed", "value", ValueName(key, value), ValueText(value), "",
                        RowOf(rows, key, value.name, nullptr)});
      } else if (found->second.type != value.type || found->second.data != value.data) {
        out->push_back({"changed", "value", ValueName(key, value), ValueText(value),
                        ValueText(found->second), RowOf(rows, key, value.name, &found->second)});
      }
    }
    for (const auto& [name, value] : now->second.values) {
      if (!key.values.count(name)) {
        out->push_back({"added", "value", ValueName(key, value), "", ValueText(value),
                        RowOf(rows, key, value.name, &value)});
      }
    }
  }
  for (const auto& [id, key] : after) {
    if (before.count(id)) continue;
    out->push_back({"added", "key", key.path, "", ""});
    for (const auto& [name, value] : key.values) {
      out->push_back({"added", "value", ValueName(key, value), "", ValueText(value),
                      RowOf(rows, key, value.name, &value)});
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

std::vector<MachineDifference> DiffSnapshot(const fs::path& machine, const std::string& name) {
  fs::path folder;
  try {
    folder = platform::sim::SnapshotFolder(machine, name);
  } catch (const platform::PlatformError& e) {
    throw CommandError(e.what());
  }
  std::error_code error;
  if (!fs::is_directory(folder, error)) throw CommandError("there is no snapshot '" + name + "'");
  auto snapshot = OpenMachine(folder);
  auto now = OpenMachine(machine);
  std::vector<MachineDifference> differences;
  LazyPolicyRows rows;
  DiffRegistry(ReadRegistry(*snapshot), ReadRegistry(*now), rows, &differences);
  DiffFiles(*snapshot, *now, &differences);
  return differences;
}

}  // namespace dav::host
