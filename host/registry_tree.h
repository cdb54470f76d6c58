// Whole key trees through platform::Registry: reading one into key sections (for export),
// deleting one, counting one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/hive_names.h"
#include "host/reg_file.h"
#include "platform/registry.h"

namespace dav::host {

// An open key that is closed when it goes out of scope.
class ScopedKey {
 public:
  explicit ScopedKey(platform::Registry& registry) : registry_(registry) {}
  ~ScopedKey() { Close(); }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  platform::KeyHandle get() const { return key_; }
  // For OpenKey/CreateKey to fill; closes the key held before.
  platform::KeyHandle* out() {
    Close();
    return &key_;
  }
  // Hands the key over to the caller, who closes it.
  platform::KeyHandle release() {
    const platform::KeyHandle key = key_;
    key_ = platform::kNoKey;
    return key;
  }

  void Close();

 private:
  platform::Registry& registry_;
  platform::KeyHandle key_ = platform::kNoKey;
};

// Opens the key and sets *stored to its path with every name in the letter case it was
// created with (as the registry editor shows it).
platform::Status OpenKeyPath(platform::Registry& registry, const KeyPath& path, ScopedKey* key,
                             KeyPath* stored);

// Reads the key and every key below it, depth-first, subkeys in enumeration order; string
// data decoded from codePage. A subkey that cannot be opened is left out and named in
// *skipped with the reason.
platform::Status ReadKeyTree(platform::Registry& registry, std::uint32_t codePage,
                             const KeyPath& root, std::vector<RegKeySection>* sections,
                             std::vector<std::string>* skipped);

// Deletes subKey below parent together with everything below it.
platform::Status DeleteKeyTree(platform::Registry& registry, platform::KeyHandle parent,
                               const std::string& subKey);

struct TreeCounts {
  std::uint64_t keys = 0;    // keys below the one counted
  std::uint64_t values = 0;  // values of the key and of every key below it
};

platform::Status CountKeyTree(platform::Registry& registry, platform::KeyHandle key,
                              TreeCounts* counts);

}  // namespace dav::host
