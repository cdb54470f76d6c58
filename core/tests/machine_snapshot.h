// What a command may not lose: the registry values below a few keys, and the files that the
// component saved, read whole so that a test can compare them before and after.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace dav::core::testing {

// Every value below the key (subkeys included) as "path\name" -> type and data.
inline void ReadValuesBelow(platform::Registry& registry, platform::KeyHandle hive,
                            const std::string& path, std::map<std::string, std::string>* values) {
  platform::KeyHandle key = platform::kNoKey;
  if (registry.OpenKey(hive, path, &key) != platform::kErrorSuccess) return;
  std::string name;
  std::string data;
  platform::ValueType type = 0;
  for (std::uint32_t i = 0; registry.EnumValue(key, i, &name, &type, &data) == 0; ++i) {
    (*values)[std::to_string(hive) + "\\" + path + "\\" + name] = std::to_string(type) + ":" + data;
  }
  std::vector<std::string> subKeys;
  for (std::uint32_t i = 0; registry.EnumKey(key, i, &name) == 0; ++i) subKeys.push_back(name);
  registry.CloseKey(key);
  for (const std::string& sub : subKeys) ReadValuesBelow(registry, hive, path + "\\" + sub, values);
}

// The keys that the documents' sections and the component's own stores write.
inline std::map<std::string, std::string> SectionValues(platform::Platform& platform,
                                                        const std::string& hostKey) {
  std::map<std::string, std::string> values;
  for (const platform::KeyHandle hive : {platform::kHKeyCurrentUser, platform::kHKeyLocalMachine}) {
    for (const char* key :
         {"Software\\Microsoft\\Windows\\CurrentVersion\\Policies", "Software\\Policies",
          "Software\\Microsoft\\Internet Explorer", "Software\\quorel",
          "Software\\Microsoft\\Windows\\CurrentVersion\\Run"}) {
      ReadValuesBelow(platform.registry(), hive, key, &values);
    }
  }
  ReadValuesBelow(platform.registry(), platform::kHKeyLocalMachine, hostKey, &values);
  return values;
}

// A file's bytes, or "<missing>".
inline std::string FileBytes(platform::Platform& platform, const std::string& path) {
  std::string bytes;
  if (platform.files().ReadAll(path, &bytes) != platform::kErrorSuccess) return "<missing>";
  return bytes;
}

}  // namespace dav::core::testing
