// Whole registry trees for tests: read with their values and subkeys, delete, and put back.
// The start program manager works on fixed places of the registry (the Run keys, the
// "startupreg" records), which under Wine is one real registry that every test shares; a
// test sets aside what is there and restores it afterwards.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace dav::startup::testing {

struct RegistryTree {
  struct Value {
    std::string name;
    platform::ValueType type = platform::kRegNone;
    std::string data;
  };
  bool exists = false;
  std::vector<Value> values;
  std::vector<std::pair<std::string, RegistryTree>> subkeys;
};

inline RegistryTree ReadTree(platform::Registry& registry, platform::KeyHandle hive,
                             const std::string& path) {
  RegistryTree tree;
  platform::KeyHandle key = platform::kNoKey;
  if (registry.OpenKey(hive, path, &key) != platform::kErrorSuccess) return tree;
  tree.exists = true;
  RegistryTree::Value value;
  for (std::uint32_t i = 0;
       registry.EnumValue(key, i, &value.name, &value.type, &value.data) == platform::kErrorSuccess;
       ++i) {
    tree.values.push_back(value);
  }
  std::string name;
  for (std::uint32_t i = 0; registry.EnumKey(key, i, &name) == platform::kErrorSuccess; ++i) {
    tree.subkeys.emplace_back(name, RegistryTree{});
  }
  registry.CloseKey(key);
  for (auto& [sub, subtree] : tree.subkeys) subtree = ReadTree(registry, hive, path + "\\" + sub);
  return tree;
}

// Deletes a key with everything below it; a missing key is no error.
inline void DeleteTree(platform::Registry& registry, platform::KeyHandle hive,
                       const std::string& path) {
  for (const auto& [sub, subtree] : ReadTree(registry, hive, path).subkeys) {
    DeleteTree(registry, hive, path + "\\" + sub);
  }
  registry.DeleteKey(hive, path);
}

inline void WriteTree(platform::Registry& registry, platform::KeyHandle hive,
                      const std::string& path, const RegistryTree& tree) {
  if (!tree.exists) return;
  platform::KeyHandle key = platform::kNoKey;
  if (registry.CreateKey(hive, path, &key) != platform::kErrorSuccess) return;
  for (const RegistryTree::Value& value : tree.values) {
    registry.SetValue(key, value.name, value.type, value.data);
  }
  registry.CloseKey(key);
  for (const auto& [sub, subtree] : tree.subkeys)
    WriteTree(registry, hive, path + "\\" + sub, subtree);
}

// Sets aside the trees of the given keys for the life of the guard: they are empty (gone)
// while it lives, and come back as they were afterwards.
class SetAsideKeys {
 public:
  SetAsideKeys(platform::Registry& registry,
               std::vector<std::pair<platform::KeyHandle, std::string>> keys)
      : registry_(registry), keys_(std::move(keys)) {
    for (const auto& [hive, path] : keys_) {
      saved_.push_back(ReadTree(registry_, hive, path));
      DeleteTree(registry_, hive, path);
    }
  }
  ~SetAsideKeys() {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
      DeleteTree(registry_, keys_[i].first, keys_[i].second);
      WriteTree(registry_, keys_[i].first, keys_[i].second, saved_[i]);
    }
  }
  SetAsideKeys(const SetAsideKeys&) = delete;
  SetAsideKeys& operator=(const SetAsideKeys&) = delete;

 private:
  platform::Registry& registry_;
  std::vector<std::pair<platform::KeyHandle, std::string>> keys_;
  std::vector<RegistryTree> saved_;
};

}  // namespace dav::startup::testing
