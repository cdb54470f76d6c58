#include "host/reg_import.h"

#include "host/hive_names.h"
#include "host/registry_tree.h"
#include "host/status_text.h"
#include "host/value_encoding.h"
#include "platform/code_page.h"

namespace dav::host {
namespace {

using platform::kErrorFileNotFound;
using platform::kErrorSuccess;
using platform::Status;

struct PreparedValue {
  const RegValue* value;
  std::string stored;  // the data in the registry's form
};

struct PreparedSection {
  const RegKeySection* section;
  KeyPath path;
  std::vector<PreparedValue> values;
};

std::string LinePrefix(int line) {
  return line > 0 ? "line " + std::to_string(line) + ": " : "";
}

bool Prepare(std::uint32_t codePage, const std::vector<RegKeySection>& sections,
             std::vector<PreparedSection>* prepared, std::string* error) {
  const std::string cannotHold =
      " has characters that code page " + std::to_string(codePage) + " cannot hold";
  std::string ignored;
  for (const RegKeySection& section : sections) {
    PreparedSection p{&section, {}, {}};
    std::string problem;
    if (!ParseKeyPath(section.path, &p.path, &problem)) {
      *error = LinePrefix(section.line) + problem;
      return false;
    }
    if (!platform::EncodeCodePage(codePage, p.path.subKey, &ignored)) {
      *error = LinePrefix(section.line) + "key name '" + section.path + "'" + cannotHold;
      return false;
    }
    for (const RegValue& value : section.values) {
      PreparedValue v{&value, {}};
      if (!platform::EncodeCodePage(codePage, value.name, &ignored)) {
        *error = LinePrefix(value.line) + "value name '" + value.name + "'" + cannotHold;
        return false;
      }
      if (!value.remove && !EncodeValueData(codePage, value.type, value.data, &v.stored)) {
        *error = LinePrefix(value.line) + "the data of '" + value.name + "'" + cannotHold;
        return false;
      }
      p.values.push_back(std::move(v));
    }
    prepared->push_back(std::move(p));
  }
  return true;
}

bool ApplySection(platform::Registry& registry, const PreparedSection& p, std::string* error) {
  const std::string where = LinePrefix(p.section->line) + p.section->path + ": ";
  if (p.section->remove) {
    const Status status = DeleteKeyTree(registry, p.path.hive, p.path.subKey);
    if (status != kErrorSuccess && status != kErrorFileNotFound) {
      *error = where + "cannot delete the key: " + StatusText(status);
      return false;
    }
    return true;
  }
  ScopedKey key(registry);
  if (const Status status = registry.CreateKey(p.path.hive, p.path.subKey, key.out());
      status != kErrorSuccess) {
    *error = where + "cannot create the key: " + StatusText(status);
    return false;
  }
  for (const PreparedValue& v : p.values) {
    const Status status =
        v.value->remove ? registry.DeleteValue(key.get(), v.value->name)
                        : registry.SetValue(key.get(), v.value->name, v.value->type, v.stored);
    if (status != kErrorSuccess && !(v.value->remove && status == kErrorFileNotFound)) {
      *error = LinePrefix(v.value->line) + p.section->path + ": cannot " +
               (v.value->remove ? "delete" : "set") + " value '" + v.value->name +
               "': " + StatusText(status);
      return false;
    }
  }
  return true;
}

}  // namespace

bool ApplyRegFile(platform::Registry& registry, std::uint32_t codePage,
                  const std::vector<RegKeySection>& sections, std::string* error) {
  std::vector<PreparedSection> prepared;
  if (!Prepare(codePage, sections, &prepared, error)) return false;
  for (const PreparedSection& p : prepared) {
    if (!ApplySection(registry, p, error)) return false;
  }
  return true;
}

}  // namespace dav::host
