// A platform that passes every call on to the machine's and notes what a command changes
// there: registry values (before and after), keys created and deleted, files and folders
// written or removed, ini entries, processes ended and started, windows closed and display
// mode changes. davhost runs the component over it to report what a command did. Appends
// (the component's own log lines) are not noted unless the machine refuses them.
//
// It also notes every write the machine refuses (a full disk, a busy registry, a folder the
// user may not write): the component's registry and file layers turn those into failure
// values and go on, so they are the one place such a failure can still be seen. A delete of
// something that is not there, or a copy or new folder that finds its target there already,
// is no refusal: nothing needed doing.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace dav::host {

struct RegistryData {
  platform::ValueType type = platform::kRegNone;
  std::string data;
  bool operator==(const RegistryData&) const = default;
};

struct ValueChange {
  std::string key;  // "HKEY_CURRENT_USER\Software\..."
  std::string name;
  std::optional<RegistryData> before;  // nullopt: there was no such value
  std::optional<RegistryData> after;   // nullopt: deleted
};

struct IniChange {
  std::string file;
  std::string section;
  std::string key;
  std::string before;
  std::optional<std::string> after;  // nullopt: deleted
  bool Changed() const { return !after || before != *after; }
};

// A write the machine refused: "SetValue HKEY_LOCAL_MACHINE\...\Name", "WriteAll C:\...".
struct RefusedWrite {
  std::string write;
  std::string reason;  // "disk full (error 112)"
};

struct MachineChanges {
  std::uint32_t codePage = 0;       // of the string data below
  std::vector<ValueChange> values;  // one per value (data as stored), in the order first touched
  std::vector<std::string> keysCreated;
  std::vector<std::string> keysDeleted;
  std::vector<std::pair<std::string, std::string>> files;  // path, what happened
  std::vector<IniChange> ini;  // one per key, in the order first touched
  std::vector<std::string> processesEnded;
  std::vector<std::string> processesStarted;
  std::vector<std::string> windowsClosed;
  std::vector<std::string> displayChanges;  // "1024 x 768, 32 bit, 60 Hz"
  std::vector<std::string> displayRefused;  // modes the adapter refused, as above
  std::vector<RefusedWrite> refused;        // every write the machine refused, in order

  // The value changes whose data really changed.
  std::vector<ValueChange> ChangedValues() const;
  // The ini keys whose text really changed.
  std::vector<IniChange> ChangedIniKeys() const;
};

class RecordingPlatform : public platform::Platform {
 public:
  explicit RecordingPlatform(platform::Platform& machine);
  ~RecordingPlatform() override;

  platform::Registry& registry() override;
  platform::FileSystem& files() override;
  platform::IniFiles& ini() override;
  platform::SystemInfo& system() override { return machine_.system(); }
  platform::Shell& shell() override { return machine_.shell(); }
  platform::Dialogs& dialogs() override { return machine_.dialogs(); }
  platform::Display& display() override;
  platform::Processes& processes() override;
  platform::TopLevelWindows& windows() override;

  const MachineChanges& changes() const { return changes_; }

 private:
  class Registry;
  class Files;
  class Ini;
  class Display;
  class Processes;
  class Windows;

  platform::Platform& machine_;
  MachineChanges changes_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Ini> ini_;
  std::unique_ptr<Display> display_;
  std::unique_ptr<Processes> processes_;
  std::unique_ptr<Windows> windows_;
};

}  // namespace dav::host
