#include "host/registry_tree.h"

#include "host/hive_names.h"
#include "host/status_text.h"
#include "host/value_encoding.h"

namespace dav::host {
namespace {

using platform::kErrorNoMoreItems;
using platform::kErrorSuccess;
using platform::Status;

Status SubKeyNames(platform::Registry& registry, platform::KeyHandle key,
                   std::vector<std::string>* names) {
  for (std::uint32_t i = 0;; ++i) {
    std::string name;
    const Status status = registry.EnumKey(key, i, &name);
    if (status == kErrorNoMoreItems) return kErrorSuccess;
    if (status != kErrorSuccess) return status;
    names->push_back(std::move(name));
  }
}

Status ReadKey(platform::Registry& registry, std::uint32_t codePage, platform::KeyHandle key,
               const std::string& path, std::vector<RegKeySection>* sections,
               std::vector<std::string>* skipped) {
  RegKeySection section;
  section.path = path;
  for (std::uint32_t i = 0;; ++i) {
    RegValue value;
    std::string stored;
    const Status status = registry.EnumValue(key, i, &value.name, &value.type, &stored);
    if (status == kErrorNoMoreItems) break;
    if (status != kErrorSuccess) return status;
    value.data = DecodeValueData(codePage, value.type, stored);
    section.values.push_back(std::move(value));
  }
  sections->push_back(std::move(section));

  std::vector<std::string> names;
  if (const Status status = SubKeyNames(registry, key, &names); status != kErrorSuccess) {
    return status;
  }
  for (const std::string& name : names) {
    const std::string childPath = path + "\\" + name;
    ScopedKey child(registry);
    const Status status = registry.OpenKey(key, name, child.out());
    if (status != kErrorSuccess) {
      skipped->push_back(childPath + ": " + StatusText(status));
      continue;
    }
    if (const Status s = ReadKey(registry, codePage, child.get(), childPath, sections, skipped);
        s != kErrorSuccess) {
      return s;
    }
  }
  return kErrorSuccess;
}

}  // namespace

void ScopedKey::Close() {
  if (key_ != platform::kNoKey && !platform::IsPredefinedKey(key_)) registry_.CloseKey(key_);
  key_ = platform::kNoKey;
}

Status OpenKeyPath(platform::Registry& registry, const KeyPath& path, ScopedKey* key,
                   KeyPath* stored) {
  if (const Status status = registry.OpenKey(path.hive, path.subKey, key->out());
      status != kErrorSuccess) {
    return status;
  }
  // Walk down from the hive, taking each level's name as the parent lists it. A name that
  // the listing does not match (case folding beyond ASCII) stays as written.
  stored->hive = path.hive;
  stored->subKey.clear();
  ScopedKey level(registry);
  platform::KeyHandle current = path.hive;
  std::string_view rest = path.subKey;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('\\');
    const std::string_view wanted = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    std::vector<std::string> names;
    std::string found(wanted);
    if (SubKeyNames(registry, current, &names) == kErrorSuccess) {
      for (const std::string& name : names) {
        if (EqualsIgnoringCase(name, wanted)) found = name;
      }
    }
    stored->subKey += (stored->subKey.empty() ? "" : "\\") + found;
    ScopedKey next(registry);
    if (registry.OpenKey(current, found, next.out()) != kErrorSuccess) {
      // Only the spelling is lost; keep the rest as written.
      stored->subKey += (rest.empty() ? "" : "\\") + std::string(rest);
      break;
    }
    *level.out() = next.release();
    current = level.get();
  }
  return kErrorSuccess;
}

Status ReadKeyTree(platform::Registry& registry, std::uint32_t codePage, const KeyPath& root,
                   std::vector<RegKeySection>* sections, std::vector<std::string>* skipped) {
  ScopedKey key(registry);
  KeyPath stored;
  if (const Status status = OpenKeyPath(registry, root, &key, &stored); status != kErrorSuccess) {
    return status;
  }
  return ReadKey(registry, codePage, key.get(), stored.Full(), sections, skipped);
}

Status DeleteKeyTree(platform::Registry& registry, platform::KeyHandle parent,
                     const std::string& subKey) {
  {
    ScopedKey key(registry);
    if (const Status status = registry.OpenKey(parent, subKey, key.out());
        status != kErrorSuccess) {
      return status;
    }
    // Names first: deleting while enumerating would shift the indexes.
    std::vector<std::string> names;
    if (const Status status = SubKeyNames(registry, key.get(), &names); status != kErrorSuccess) {
      return status;
    }
    for (const std::string& name : names) {
      if (const Status status = DeleteKeyTree(registry, key.get(), name); status != kErrorSuccess) {
        return status;
      }
    }
  }
  return registry.DeleteKey(parent, subKey);
}

Status CountKeyTree(platform::Registry& registry, platform::KeyHandle key, TreeCounts* counts) {
  platform::KeyInfo info;
  if (const Status status = registry.QueryInfoKey(key, &info); status != kErrorSuccess) {
    return status;
  }
  counts->values += info.values;
  std::vector<std::string> names;
  if (const Status status = SubKeyNames(registry, key, &names); status != kErrorSuccess) {
    return status;
  }
  for (const std::string& name : names) {
    ++counts->keys;
    ScopedKey child(registry);
    if (registry.OpenKey(key, name, child.out()) != kErrorSuccess) continue;
    if (const Status status = CountKeyTree(registry, child.get(), counts);
        status != kErrorSuccess) {
      return status;
    }
  }
  return kErrorSuccess;
}

}  // namespace dav::host
