// A scratch key on a fresh platform, and direct access to the platform registry to set up
// and check what the registry layer did.
#pragma once

#include <cstring>
#include <memory>
#include <string>

#include "platform/tests/test_environment.h"
#include "util/ansi_text.h"
#include "util/log.h"

namespace dav::testing {

class RegistryFixture {
 public:
  RegistryFixture()
      : env_(platform::testing::MakeTestEnvironment()),
        log_(env_->platform(), env_->scratchFolder()) {}

  platform::Platform& platform() { return env_->platform(); }
  platform::Registry& registry() { return platform().registry(); }
  util::Log& log() { return log_; }
  // The scratch key below HKEY_CURRENT_USER, and its full path.
  const std::string& key() const { return env_->scratchKey(); }
  std::string fullPath() const { return "HKEY_CURRENT_USER\\" + key(); }

  void Set(const std::string& subKey, const std::string& name, platform::ValueType type,
           const std::string& data) {
    platform::KeyHandle handle = 0;
    ASSERT_EQ(registry().CreateKey(platform::kHKeyCurrentUser, subKey, &handle), 0);
    ASSERT_EQ(registry().SetValue(handle, name, type, data), 0);
    registry().CloseKey(handle);
  }
  void SetDword(const std::string& subKey, const std::string& name, std::uint32_t v) {
    char bytes[4];
    std::memcpy(bytes, &v, 4);
    Set(subKey, name, platform::kRegDword, std::string(bytes, 4));
  }
  void SetText(const std::string& subKey, const std::string& name, const std::string& utf8) {
    Set(subKey, name, platform::kRegSz, util::ToAnsi(platform(), utf8));
  }
  // The raw bytes and type of a value; type kRegNone when it is missing.
  std::pair<platform::ValueType, std::string> Get(const std::string& subKey,
                                                  const std::string& name) {
    platform::KeyHandle handle = 0;
    if (registry().OpenKey(platform::kHKeyCurrentUser, subKey, &handle) != 0) return {};
    platform::ValueType type = 0;
    std::uint32_t size = 0;
    std::string data;
    if (registry().QueryValue(handle, name, &type, nullptr, &size) == 0) {
      data.resize(size);
      registry().QueryValue(handle, name, nullptr, reinterpret_cast<std::uint8_t*>(data.data()),
                            &size);
    }
    registry().CloseKey(handle);
    return {type, data};
  }
  bool KeyExists(const std::string& subKey) {
    platform::KeyHandle handle = 0;
    if (registry().OpenKey(platform::kHKeyCurrentUser, subKey, &handle) != 0) return false;
    registry().CloseKey(handle);
    return true;
  }

 private:
  std::unique_ptr<platform::testing::TestEnvironment> env_;
  util::Log log_;
};

}  // namespace dav::testing
