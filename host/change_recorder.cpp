#include "host/change_recorder.h"

#include "catalogue/document_conventions.h"
#include "host/hive_names.h"
#include "host/status_text.h"

namespace dav::host {
namespace {

using platform::KeyHandle;
using platform::Status;

// Reads the machine's clock, so that the recording platform keeps the machine's time.
class MachineClock : public platform::Clock {
 public:
  explicit MachineClock(platform::Platform& machine) : machine_(machine) {}
  platform::LocalTime Now() override { return machine_.clock().Now(); }
  void PumpMessages() override { machine_.clock().PumpMessages(); }

 private:
  platform::Platform& machine_;
};

// A status that means the machine would not carry a write out. Not found (a delete of what
// is gone already), already there (a copy without overwrite, a folder that exists), a folder
// not empty and a handle the machine never gave (a key whose creation was itself refused)
// are the normal outcome of a write that had nothing to do, or counted already.
bool IsRefusal(Status status) {
  switch (status) {
    case platform::kErrorSuccess:
    case platform::kErrorFileNotFound:
    case platform::kErrorPathNotFound:
    case platform::kErrorFileExists:
    case platform::kErrorAlreadyExists:
    case platform::kErrorDirNotEmpty:
    case platform::kErrorInvalidHandle:
      return false;
    default:
      return true;
  }
}

// Notes a refused write, named by write() (called only then: most writes go through, and
// naming one builds its path); returns the status.
template <typename Write>
Status NoteRefusal(MachineChanges& changes, Status status, const Write& write) {
  if (IsRefusal(status)) changes.refused.push_back({write(), StatusText(status)});
  return status;
}

std::string ModeText(const platform::DisplayMode& mode) {
  return std::to_string(mode.pelsWidth) + " x " + std::to_string(mode.pelsHeight) + ", " +
         std::to_string(mode.bitsPerPel) + " bit, " + std::to_string(mode.displayFrequency) + " Hz";
}

}  // namespace

std::vector<ValueChange> MachineChanges::ChangedValues() const {
  std::vector<ValueChange> changed;
  for (const ValueChange& change : values) {
    if (change.before != change.after) changed.push_back(change);
  }
  return changed;
}

std::vector<IniChange> MachineChanges::ChangedIniKeys() const {
  std::vector<IniChange> changed;
  for (const IniChange& change : ini) {
    if (change.Changed()) changed.push_back(change);
  }
  return changed;
}

class RecordingPlatform::Registry : public platform::Registry {
 public:
  Registry(platform::Registry& machine, MachineChanges& changes)
      : machine_(machine), changes_(changes) {}

  Status OpenKey(KeyHandle parent, std::string_view subKey, KeyHandle* result) override {
    const Status status = machine_.OpenKey(parent, subKey, result);
    if (status == platform::kErrorSuccess) paths_[*result] = PathOf(parent, subKey);
    return status;
  }
  Status CreateKey(KeyHandle parent, std::string_view subKey, KeyHandle* result,
                   bool* created) override {
    bool made = false;
    const Status status = machine_.CreateKey(parent, subKey, result, &made);
    if (created) *created = made;
    if (status == platform::kErrorSuccess) {
      paths_[*result] = PathOf(parent, subKey);
      if (made) changes_.keysCreated.push_back(paths_[*result]);
    }
    return NoteRefusal(changes_, status, [&] { return "CreateKey " + PathOf(parent, subKey); });
  }
  Status CloseKey(KeyHandle key) override {
    paths_.erase(key);
    return machine_.CloseKey(key);
  }
  Status DeleteKey(KeyHandle parent, std::string_view subKey) override {
    const Status status = machine_.DeleteKey(parent, subKey);
    if (status == platform::kErrorSuccess) changes_.keysDeleted.push_back(PathOf(parent, subKey));
    return NoteRefusal(changes_, status, [&] { return "DeleteKey " + PathOf(parent, subKey); });
  }
  Status SetValue(KeyHandle key, std::string_view name, platform::ValueType type,
                  std::string_view data) override {
    std::optional<RegistryData> before = Read(key, name);
    const Status status = machine_.SetValue(key, name, type, data);
    if (status == platform::kErrorSuccess) {
      // Read back as stored: string data gain their NUL, as QueryValue gives them. A value
      // set to the very type and bytes it held holds them still (most sets at a start).
      const bool same = before && before->type == type && before->data == data;
      std::optional<RegistryData> after = same ? before : Read(key, name);
      Note(key, name, std::move(before), std::move(after));
    }
    return NoteRefusal(changes_, status, [&] { return "SetValue " + ValuePath(key, name); });
  }
  Status QueryValue(KeyHandle key, std::string_view name, platform::ValueType* type,
                    std::uint8_t* data, std::uint32_t* size) override {
    return machine_.QueryValue(key, name, type, data, size);
  }
  Status DeleteValue(KeyHandle key, std::string_view name) override {
    std::optional<RegistryData> before = Read(key, name);
    const Status status = machine_.DeleteValue(key, name);
    if (status == platform::kErrorSuccess) Note(key, name, std::move(before), std::nullopt);
    return NoteRefusal(changes_, status, [&] { return "DeleteValue " + ValuePath(key, name); });
  }
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string* name) override {
    return machine_.EnumKey(key, index, name);
  }
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string* name, platform::ValueType* type,
                   std::string* data) override {
    return machine_.EnumValue(key, index, name, type, data);
  }
  Status QueryInfoKey(KeyHandle key, platform::KeyInfo* info) override {
    return machine_.QueryInfoKey(key, info);
  }

 private:
  std::string PathOf(KeyHandle parent, std::string_view subKey) const {
    std::string path;
    if (const std::string_view hive = HiveName(parent); !hive.empty()) {
      path = std::string(hive);
    } else if (auto known = paths_.find(parent); known != paths_.end()) {
      path = known->second;
    } else {
      path = "(key " + std::to_string(parent) + ")";
    }
    return subKey.empty() ? path : path + "\\" + std::string(subKey);
  }

  std::string ValuePath(KeyHandle key, std::string_view name) const {
    return PathOf(key, {}) + "\\" + (name.empty() ? "(Default)" : std::string(name));
  }

  // The value's type and bytes, or nothing when it is missing. One query answers most values;
  // a larger one is asked for again at the size the first query gave.
  std::optional<RegistryData> Read(KeyHandle key, std::string_view name) {
    platform::ValueType type = platform::kRegNone;
    std::string data(kFirstReadBytes, '\0');
    std::uint32_t size = kFirstReadBytes;
    Status status =
        machine_.QueryValue(key, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size);
    if (status == platform::kErrorMoreData) {
      data.assign(size, '\0');
      status = machine_.QueryValue(key, name, &type, reinterpret_cast<std::uint8_t*>(data.data()),
                                   &size);
    }
    if (status != platform::kErrorSuccess) return std::nullopt;
    data.resize(size);
    return RegistryData{type, std::move(data)};
  }
  static constexpr std::uint32_t kFirstReadBytes = 64;

  // The first change of a value keeps its state before; later ones update its state after.
  void Note(KeyHandle key, std::string_view name, std::optional<RegistryData> before,
            std::optional<RegistryData> after) {
    const std::string path = PathOf(key, {});
    const std::string id = catalogue::LowerId(path) + "\n" + catalogue::LowerId(name);
    if (auto seen = index_.find(id); seen != index_.end()) {
      changes_.values[seen->second].after = std::move(after);
      return;
    }
    index_[id] = changes_.values.size();
    changes_.values.push_back({path, std::string(name), std::move(before), std::move(after)});
  }

  platform::Registry& machine_;
  MachineChanges& changes_;
  std::map<KeyHandle, std::string> paths_;
  std::map<std::string, std::size_t> index_;
};

class RecordingPlatform::Files : public platform::FileSystem {
 public:
  Files(platform::FileSystem& machine, MachineChanges& changes)
      : machine_(machine), changes_(changes) {}

  Status FindFiles(std::string_view pattern, std::uint32_t mask,
                   std::vector<platform::FileEntry>* found) override {
    return machine_.FindFiles(pattern, mask, found);
  }
  std::uint32_t GetAttributes(std::string_view path) override {
    return machine_.GetAttributes(path);
  }
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    return Noted(machine_.SetAttributes(path, attributes), "SetAttributes", path, "attributes set");
  }
  Status Copy(std::string_view from, std::string_view to, bool failIfExists) override {
    return Noted(machine_.Copy(from, to, failIfExists), "Copy", to,
                 "copied from " + std::string(from));
  }
  Status Delete(std::string_view path) override {
    return Noted(machine_.Delete(path), "Delete", path, "deleted");
  }
  Status MakeFolder(std::string_view path) override {
    return Noted(machine_.MakeFolder(path), "MakeFolder", path, "folder made");
  }
  Status RemoveFolder(std::string_view path) override {
    return Noted(machine_.RemoveFolder(path), "RemoveFolder", path, "folder removed");
  }
  Status ReadAll(std::string_view path, std::string* bytes) override {
    return machine_.ReadAll(path, bytes);
  }
  Status ReadFrom(std::string_view path, std::uint64_t offset, std::string* bytes,
                  std::uint64_t* size) override {
    return machine_.ReadFrom(path, offset, bytes, size);
  }
  Status WriteAll(std::string_view path, std::string_view bytes) override {
    const bool existed = machine_.GetAttributes(path) != platform::kInvalidAttributes;
    return Noted(machine_.WriteAll(path, bytes), "WriteAll", path, existed ? "written" : "created");
  }
  void SetSoleWriter(bool sole) override { machine_.SetSoleWriter(sole); }
  Status Append(std::string_view path, std::string_view bytes) override {
    return NoteRefusal(changes_, machine_.Append(path, bytes),
                       [&] { return "Append " + std::string(path); });
  }

 private:
  Status Noted(Status status, std::string_view write, std::string_view path, std::string what) {
    if (status == platform::kErrorSuccess) changes_.files.emplace_back(path, std::move(what));
    return NoteRefusal(changes_, status,
                       [&] { return std::string(write) + " " + std::string(path); });
  }

  platform::FileSystem& machine_;
  MachineChanges& changes_;
};

class RecordingPlatform::Ini : public platform::IniFiles {
 public:
  Ini(platform::IniFiles& machine, platform::FileSystem& files, MachineChanges& changes)
      : machine_(machine), files_(files), changes_(changes) {}

  std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t bufferSize) override {
    return machine_.ReadString(file, section, key, defaultValue, bufferSize);
  }
  bool WriteString(std::string_view file, std::string_view section,
                   std::optional<std::string_view> key,
                   std::optional<std::string_view> value) override {
    const std::string before = key ? machine_.ReadString(file, section, *key, "", 4096) : "";
    // A section about to be deleted: its keys as they were, so that keys written again
    // afterwards compare with what they held before.
    if (!key) {
      for (const auto& [name, text] : SectionKeys(file, section)) Note(file, section, name, text);
    }
    const bool written = machine_.WriteString(file, section, key, value);
    if (!written) {
      changes_.refused.push_back({"WritePrivateProfileString " + std::string(file) + " [" +
                                      std::string(section) + "]" +
                                      (key ? " " + std::string(*key) : std::string()),
                                  "not written"});
      return written;
    }
    if (!key) {
      // The section's keys are gone unless written again.
      for (auto& [id, at] : index_) {
        if (id.starts_with(catalogue::LowerId(file) + "\n" + catalogue::LowerId(section) + "\n")) {
          changes_.ini[at].after.reset();
        }
      }
      return written;
    }
    Note(file, section, *key, before);
    changes_.ini[index_[Id(file, section, *key)]].after =
        value ? std::optional<std::string>(*value) : std::nullopt;
    return written;
  }

  std::vector<platform::IniKey> ReadSection(std::string_view file,
                                            std::string_view section) override {
    return machine_.ReadSection(file, section);
  }
  // Each section given replaces the one in the file: its keys as they were are noted first,
  // then every one of them counts as gone unless the new section holds it again.
  bool WriteSections(std::string_view file,
                     const std::vector<platform::IniSectionKeys>& sections) override {
    for (const platform::IniSectionKeys& section : sections) {
      for (const platform::IniKey& key : machine_.ReadSection(file, section.name)) {
        Note(file, section.name, key.name, key.value);
      }
    }
    const bool written = machine_.WriteSections(file, sections);
    if (!written) {
      changes_.refused.push_back({"WriteSections " + std::string(file), "not written"});
      return written;
    }
    for (const platform::IniSectionKeys& section : sections) {
      const std::string prefix =
          catalogue::LowerId(file) + "\n" + catalogue::LowerId(section.name) + "\n";
      for (auto& [id, at] : index_) {
        if (id.starts_with(prefix)) changes_.ini[at].after.reset();
      }
      for (const platform::IniKey& key : section.keys) {
        Note(file, section.name, key.name, "");
        changes_.ini[index_[Id(file, section.name, key.name)]].after = key.value;
      }
    }
    return written;
  }

 private:
  static std::string Id(std::string_view file, std::string_view section, std::string_view key) {
    return catalogue::LowerId(file) + "\n" + catalogue::LowerId(section) + "\n" +
           catalogue::LowerId(key);
  }

  // One entry per key, keeping the first state before.
  void Note(std::string_view file, std::string_view section, std::string_view key,
            const std::string& before) {
    const std::string id = Id(file, section, key);
    if (index_.count(id)) return;
    index_[id] = changes_.ini.size();
    changes_.ini.push_back(
        {std::string(file), std::string(section), std::string(key), before, before});
  }

  // The "key=value" lines of a section of the file, read as text.
  std::vector<std::pair<std::string, std::string>> SectionKeys(std::string_view file,
                                                               std::string_view section) {
    std::string bytes;
    std::vector<std::pair<std::string, std::string>> keys;
    if (files_.ReadAll(file, &bytes) != platform::kErrorSuccess) return keys;
    bool inside = false;
    for (std::size_t start = 0; start < bytes.size();) {
      std::size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      std::string line = bytes.substr(start, end - start);
      start = end + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.starts_with("[")) {
        inside = catalogue::LowerId(line) == "[" + catalogue::LowerId(section) + "]";
      } else if (const std::size_t equals = line.find('='); inside && equals != line.npos) {
        keys.emplace_back(line.substr(0, equals), line.substr(equals + 1));
      }
    }
    return keys;
  }

  platform::IniFiles& machine_;
  platform::FileSystem& files_;
  MachineChanges& changes_;
  std::map<std::string, std::size_t> index_;
};

class RecordingPlatform::Display : public platform::Display {
 public:
  Display(platform::Display& machine, MachineChanges& changes)
      : machine_(machine), changes_(changes) {}

  bool ModeSettings(std::uint32_t modeNumber, platform::DisplayMode* mode) override {
    return machine_.ModeSettings(modeNumber, mode);
  }
  std::int32_t ChangeModeEx(const platform::DisplayMode& mode, std::uint32_t flags) override {
    return Noted(machine_.ChangeModeEx(mode, flags), mode, flags);
  }
  std::int32_t ChangeMode(const platform::DisplayMode& mode, std::uint32_t flags) override {
    return Noted(machine_.ChangeMode(mode, flags), mode, flags);
  }

 private:
  std::int32_t Noted(std::int32_t result, const platform::DisplayMode& mode, std::uint32_t flags) {
    // A mode refused when only asked about is refused all the same: it will not be set.
    if (result < 0) {
      changes_.displayRefused.push_back(ModeText(mode));
    } else if (result == platform::kDispChangeSuccessful && !(flags & platform::kCdsTest)) {
      changes_.displayChanges.push_back(ModeText(mode));
    }
    return result;
  }

  platform::Display& machine_;
  MachineChanges& changes_;
};

class RecordingPlatform::Processes : public platform::Processes {
 public:
  Processes(platform::Processes& machine, MachineChanges& changes)
      : machine_(machine), changes_(changes) {}

  Status Snapshot(std::vector<platform::ProcessEntry>* entries) override {
    const Status status = machine_.Snapshot(entries);
    if (status == platform::kErrorSuccess) {
      for (const platform::ProcessEntry& entry : *entries) names_[entry.processId] = entry.exeFile;
    }
    return status;
  }
  bool ListIds(std::span<std::uint32_t> ids, std::uint32_t* bytesReturned) override {
    return machine_.ListIds(ids, bytesReturned);
  }
  Status Open(std::uint32_t access, bool inheritHandle, std::uint32_t processId,
              platform::ProcessHandle* process) override {
    const Status status = machine_.Open(access, inheritHandle, processId, process);
    if (status == platform::kErrorSuccess) opened_[*process] = processId;
    return status;
  }
  Status ExecutablePath(platform::ProcessHandle process, std::string* path) override {
    const Status status = machine_.ExecutablePath(process, path);
    if (status == platform::kErrorSuccess) names_[opened_[process]] = *path;
    return status;
  }
  Status Terminate(platform::ProcessHandle process, std::uint32_t exitCode) override {
    const Status status = machine_.Terminate(process, exitCode);
    if (status == platform::kErrorSuccess) {
      const std::uint32_t id = opened_[process];
      const auto name = names_.find(id);
      changes_.processesEnded.push_back((name != names_.end() ? name->second : "process") + " (" +
                                        std::to_string(id) + ")");
    }
    return status;
  }
  void Close(platform::ProcessHandle process) override {
    opened_.erase(process);
    machine_.Close(process);
  }
  Status Start(std::string_view path, std::uint32_t* processId) override {
    const Status status = machine_.Start(path, processId);
    if (status == platform::kErrorSuccess) changes_.processesStarted.emplace_back(path);
    return status;
  }

 private:
  platform::Processes& machine_;
  MachineChanges& changes_;
  std::map<std::uint32_t, std::string> names_;
  std::map<platform::ProcessHandle, std::uint32_t> opened_;
};

class RecordingPlatform::Windows : public platform::TopLevelWindows {
 public:
  Windows(platform::TopLevelWindows& machine, MachineChanges& changes)
      : machine_(machine), changes_(changes) {}

  platform::WindowHandle FindByTitle(std::string_view title) override {
    const platform::WindowHandle window = machine_.FindByTitle(title);
    titles_[window] = std::string(title);
    return window;
  }
  std::intptr_t SendClose(platform::WindowHandle window) override {
    const std::intptr_t result = machine_.SendClose(window);
    changes_.windowsClosed.push_back(titles_.count(window) ? titles_[window] : "a window");
    return result;
  }

 private:
  platform::TopLevelWindows& machine_;
  MachineChanges& changes_;
  std::map<platform::WindowHandle, std::string> titles_;
};

RecordingPlatform::RecordingPlatform(platform::Platform& machine)
    : platform::Platform(std::make_unique<MachineClock>(machine)),
      machine_(machine),
      registry_(std::make_unique<Registry>(machine.registry(), changes_)),
      files_(std::make_unique<Files>(machine.files(), changes_)),
      ini_(std::make_unique<Ini>(machine.ini(), machine.files(), changes_)),
      display_(std::make_unique<Display>(machine.display(), changes_)),
      processes_(std::make_unique<Processes>(machine.processes(), changes_)),
      windows_(std::make_unique<Windows>(machine.windows(), changes_)) {
  changes_.codePage = machine.system().AnsiCodePage();
}

RecordingPlatform::~RecordingPlatform() = default;

platform::Registry& RecordingPlatform::registry() {
  return *registry_;
}
platform::FileSystem& RecordingPlatform::files() {
  return *files_;
}
platform::IniFiles& RecordingPlatform::ini() {
  return *ini_;
}
platform::Display& RecordingPlatform::display() {
  return *display_;
}
platform::Processes& RecordingPlatform::processes() {
  return *processes_;
}
platform::TopLevelWindows& RecordingPlatform::windows() {
  return *windows_;
}

}  // namespace dav::host
