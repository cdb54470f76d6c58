// A key handle that is closed when it goes out of scope, so that a run-time error between
// opening a key and closing it leaves no handle open.
#pragma once

#include "platform/registry.h"

namespace dav {

class OpenedKey {
 public:
  OpenedKey(platform::Registry& registry, platform::KeyHandle key)
      : registry_(registry), key_(key) {}
  ~OpenedKey() {
    if (key_ != platform::kNoKey) registry_.CloseKey(key_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  platform::KeyHandle get() const { return key_; }
  explicit operator bool() const { return key_ != platform::kNoKey; }

 private:
  platform::Registry& registry_;
  platform::KeyHandle key_;
};

}  // namespace dav
