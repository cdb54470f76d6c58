// A platform with the start program store below a key of the test's own and the Run keys
// and "startupreg" records set aside (empty during the test, restored afterwards), with
// helpers to set up and read entries.
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/tests/test_environment.h"
#include "startup/run_keys.h"
#include "startup/start_program_manager.h"
#include "startup/tests/registry_tree.h"
#include "util/ansi_text.h"
#include "util/log.h"

namespace dav::startup::testing {

using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

// Every place of the registry that the start program manager changes besides its store.
inline std::vector<std::pair<platform::KeyHandle, std::string>> ManagedKeys() {
  std::vector<std::pair<platform::KeyHandle, std::string>> keys;
  for (const LiveKey& live : kLiveKeys) {
    keys.emplace_back(live.hive, std::string(live.path));
    keys.emplace_back(live.hive, std::string(live.disabledPath));
  }
  keys.emplace_back(kHKeyLocalMachine, std::string(kStartupRegKey));
  return keys;
}

// An entry as a test sees it: type and text.
struct Value {
  platform::ValueType type = platform::kRegNone;
  std::string text;
  friend bool operator==(const Value&, const Value&) = default;
};
inline std::ostream& operator<<(std::ostream& out, const Value& v) {
  return out << "{type " << v.type << ", \"" << v.text << "\"}";
}

// A value written with its text in the machine's code page for the string types.
inline void SetValue(platform::Platform& platform, platform::KeyHandle hive, const std::string& key,
                     const std::string& name, const std::string& text,
                     platform::ValueType type = platform::kRegSz) {
  platform::KeyHandle handle = platform::kNoKey;
  ASSERT_EQ(platform.registry().CreateKey(hive, key, &handle), platform::kErrorSuccess);
  const std::string data = platform::IsStringType(type) ? util::ToAnsi(platform, text) : text;
  ASSERT_EQ(platform.registry().SetValue(handle, name, type, data), platform::kErrorSuccess);
  platform.registry().CloseKey(handle);
}

// A value's type and text (up to its NUL); nullopt when it is missing.
inline std::optional<Value> GetValue(platform::Platform& platform, platform::KeyHandle hive,
                                     const std::string& key, const std::string& name) {
  for (const RegistryTree::Value& v : ReadTree(platform.registry(), hive, key).values) {
    if (v.name != name) continue;
    const std::string text = v.data.substr(0, v.data.find('\0'));
    return Value{v.type, platform::IsStringType(v.type) ? util::FromAnsi(platform, text) : text};
  }
  return std::nullopt;
}

// The value names of a key, sorted: Windows (and the simulated PC) list a key's values in
// the order they were made, Wine by name, so only the set is the same on both.
inline std::vector<std::string> ValueNames(platform::Platform& platform, platform::KeyHandle hive,
                                           const std::string& key) {
  std::vector<std::string> names;
  for (const RegistryTree::Value& v : ReadTree(platform.registry(), hive, key).values) {
    names.push_back(v.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class StartProgramsFixture {
 public:
  StartProgramsFixture()
      : env_(platform::testing::MakeTestEnvironment()),
        log_(platform(), env_->scratchFolder()),
        aside_(registry(), ManagedKeys()),
        places_(StorePlacesOf(env_->scratchKey())) {}
  ~StartProgramsFixture() {
    DeleteTree(registry(), kHKeyLocalMachine, env_->scratchKey());
    registry().DeleteKey(kHKeyLocalMachine, "Software\\DavTest");  // when no other test uses it
  }

  platform::Platform& platform() { return env_->platform(); }
  platform::Registry& registry() { return platform().registry(); }
  util::Log& log() { return log_; }
  const StorePlaces& places() const { return places_; }

  StartProgramManager Manager(bool isWinNT = true) { return {log_, places_, isWinNT}; }

  // The lists of the store for a live key.
  std::string StartList(const LiveKey& live) const { return ListOf(places_.startListKey, live); }
  std::string OffList(const LiveKey& live) const { return ListOf(places_.offListKey, live); }

  void Set(platform::KeyHandle hive, const std::string& key, const std::string& name,
           const std::string& text, platform::ValueType type = platform::kRegSz) {
    SetValue(platform(), hive, key, name, text, type);
  }
  // A value in the store (below HKEY_LOCAL_MACHINE).
  void SetStore(const std::string& key, const std::string& name, const std::string& text,
                platform::ValueType type = platform::kRegSz) {
    Set(kHKeyLocalMachine, key, name, text, type);
  }

  std::optional<Value> Get(platform::KeyHandle hive, const std::string& key,
                           const std::string& name) {
    return GetValue(platform(), hive, key, name);
  }
  std::optional<Value> GetStore(const std::string& key, const std::string& name) {
    return Get(kHKeyLocalMachine, key, name);
  }

  std::vector<std::string> Names(platform::KeyHandle hive, const std::string& key) {
    return ValueNames(platform(), hive, key);
  }

  // Where the system configuration utility keeps its "startupreg" records, spelled out here
  // rather than taken from the code under test, so that a wrong path there fails the tests.
  static constexpr const char* kStartupRecords =
      "SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";

  // A "startupreg" record of the system configuration utility.
  void SwitchedOff(const std::string& name, const std::string& hkey, const std::string& key,
                   const std::string& command) {
    const std::string record = std::string(kStartupRecords) + "\\" + name;
    SetStore(record, "command", command);
    SetStore(record, "hkey", hkey);
    SetStore(record, "key", key);
  }
  bool HasRecord(const std::string& name) {
    return ReadTree(registry(), kHKeyLocalMachine, std::string(kStartupRecords) + "\\" + name)
        .exists;
  }

  // Today's log of the scratch folder, decoded.
  std::string LogText() {
    std::string bytes;
    platform().files().ReadAll(log_.LogFilePath(), &bytes);
    return util::FromAnsi(platform(), bytes);
  }

 private:
  std::unique_ptr<platform::testing::TestEnvironment> env_;
  util::Log log_;
  SetAsideKeys aside_;
  StorePlaces places_;
};

inline const LiveKey& kMachineRun = kLiveKeys[0];
inline const LiveKey& kMachineRunServices = kLiveKeys[1];
inline const LiveKey& kUserRun = kLiveKeys[2];
inline const std::string kRun(kRunPath);

}  // namespace dav::startup::testing
