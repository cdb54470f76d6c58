// A machine with the context the start menu and window skill sections work in, and a
// snapshot of the registry keys they write. The sections write fixed Windows places
// (policies, Explorer, the browser's keys); under Wine every test shares one real registry,
// so each machine puts those keys back as they were when it goes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/section_context.h"
#include "platform/tests/test_environment.h"
#include "registry/md_registry.h"
#include "registry/md_spm.h"
#include "util/log.h"
#include "xml/document.h"

namespace dav::catalogue::testing {

inline constexpr const char* kAdvancedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr const char* kPoliciesKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

struct KeyPlace {
  platform::KeyHandle hive;
  std::string path;
};

// The values of some keys, put back (and keys that were missing removed) on destruction.
class RegistrySnapshot {
 public:
  RegistrySnapshot(platform::Registry& registry, std::vector<KeyPlace> places);
  ~RegistrySnapshot();
  RegistrySnapshot(const RegistrySnapshot&) = delete;
  RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

 private:
  struct Value {
    std::string name;
    platform::ValueType type;
    std::string data;
  };
  struct Saved {
    KeyPlace place;
    bool existed = false;
    std::string missingRoot;  // the highest missing key on the way, removed afterwards
    std::vector<Value> values;
  };
  platform::Registry& registry_;
  std::vector<Saved> saved_;
};

// One PC: a fresh simulated machine, or scratch places on Windows. Its start menu folder
// ("Shell Folders" "Start Menu") is a folder of its own inside the scratch folder.
class SectionMachine {
 public:
  SectionMachine(bool winXP, bool win7);

  SectionContext& ctx() { return ctx_; }
  platform::Platform& platform() { return env_->platform(); }
  const std::string& startMenu() const { return startMenu_; }

  // Removes every value of the keys the sections read, as on a PC nobody has set up.
  void ClearSectionKeys();

  // A DWORD value, or kMissing.
  static constexpr std::int32_t kMissing = -987654;
  std::int32_t Dword(platform::KeyHandle hive, const std::string& key, const std::string& name);
  // A text value, or "<missing>".
  std::string Text(platform::KeyHandle hive, const std::string& key, const std::string& name);
  // True when the value is there, whatever its type and size.
  bool Exists(platform::KeyHandle hive, const std::string& key, const std::string& name);
  std::string Client(const std::string& name) {
    return Text(platform::kHKeyLocalMachine, kClientKey, name);
  }
  bool FolderExists(const std::string& path);

  // The log writer's file of today, for failure lines.
  std::string LogText();

  SectionRequests requests;
  DisplayMode mode{1024, 768, 32, 60};

 private:
  std::unique_ptr<platform::testing::TestEnvironment> env_;
  RegistrySnapshot snapshot_;
  util::Log log_;
  mdRegistry registry_;
  mdSPM spm_;
  SectionContext ctx_;
  std::string startMenu_;
};

// A document around the body; the test fails when it does not load.
xml::Document LoadDocument(const std::string& body);

// Every line of a produced text ends with CR LF and none is empty.
::testing::AssertionResult LinesEndInCrLf(const std::string& text);

}  // namespace dav::catalogue::testing
