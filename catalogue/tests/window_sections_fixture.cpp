#include "catalogue/tests/window_sections_fixture.h"

#include <gtest/gtest.h>

namespace dav::catalogue::testing {
namespace {

using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

// Every key the two section families write or read.
const std::vector<std::pair<platform::KeyHandle, std::string>> kSectionKeys = {
    {kHKeyCurrentUser, kAdvancedKey},
    {kHKeyCurrentUser, kPoliciesKey},
    {kHKeyCurrentUser, kShellFoldersKey},
    {kHKeyCurrentUser, "Control Panel\\Keyboard"},
    {kHKeyCurrentUser, "Software\\Microsoft\\Internet Explorer"},
    {kHKeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main"},
    {kHKeyCurrentUser, "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel"},
    {kHKeyLocalMachine, kPoliciesKey},
    {kHKeyLocalMachine, kClientKey},
};

void DeleteValues(platform::Registry& registry, platform::KeyHandle hive, const std::string& path) {
  platform::KeyHandle key = platform::kNoKey;
  if (registry.OpenKey(hive, path, &key) != platform::kErrorSuccess) return;
  std::string name, data;
  platform::ValueType type = 0;
  while (registry.EnumValue(key, 0, &name, &type, &data) == platform::kErrorSuccess &&
         registry.DeleteValue(key, name) == platform::kErrorSuccess) {
  }
  registry.CloseKey(key);
}

}  // namespace

SectionMachine::SectionMachine(
    bool winXP, bool win7, const std::vector<std::pair<platform::KeyHandle, std::string>>& moreKeys)
    : env_(platform::testing::MakeTestEnvironment()),
      log_(env_->platform(), env_->scratchFolder()),
      registry_(log_),
      spm_(log_),
      ctx_{log_, registry_, spm_, winXP, win7, true, requests, [this] { return mode; }},
      startMenu_(env_->scratchFolder() + "\\시작 메뉴") {
  platform::Registry& registry = platform().registry();
  std::vector<std::pair<platform::KeyHandle, std::string>> keys = kSectionKeys;
  keys.insert(keys.end(), moreKeys.begin(), moreKeys.end());
  for (const auto& [hive, path] : keys) {
    SavedKey saved{hive, path, false, {}};
    platform::KeyHandle key = platform::kNoKey;
    saved.existed = registry.OpenKey(hive, path, &key) == platform::kErrorSuccess;
    std::string name, data;
    platform::ValueType type = 0;
    for (std::uint32_t i = 0; saved.existed && registry.EnumValue(key, i, &name, &type, &data) ==
                                                   platform::kErrorSuccess;
         ++i) {
      saved.values.push_back({name, {type, data}});
    }
    if (saved.existed) registry.CloseKey(key);
    saved_.push_back(std::move(saved));
  }
  EXPECT_EQ(platform().files().MakeFolder(startMenu_), platform::kErrorSuccess);
  SetText(kHKeyCurrentUser, kShellFoldersKey, "Start Menu", startMenu_);
}

SectionMachine::~SectionMachine() {
  platform::Registry& registry = platform().registry();
  for (const SavedKey& saved : saved_) {
    DeleteValues(registry, saved.hive, saved.path);
    if (!saved.existed) {
      registry.DeleteKey(saved.hive, saved.path);
      continue;
    }
    platform::KeyHandle key = platform::kNoKey;
    if (registry.OpenKey(saved.hive, saved.path, &key) != platform::kErrorSuccess) continue;
    for (const auto& [name, value] : saved.values) {
      registry.SetValue(key, name, value.first, value.second);
    }
    registry.CloseKey(key);
  }
}

void SectionMachine::ClearSectionKeys() {
  for (const auto& [hive, path] : kSectionKeys) {
    if (path != kShellFoldersKey) DeleteValues(platform().registry(), hive, path);
  }
}

bool SectionMachine::Exists(platform::KeyHandle hive, const std::string& key,
                            const std::string& name) {
  platform::Registry& registry = platform().registry();
  platform::KeyHandle handle = platform::kNoKey;
  if (registry.OpenKey(hive, key, &handle) != platform::kErrorSuccess) return false;
  const bool found =
      registry.QueryValue(handle, name, nullptr, nullptr, nullptr) == platform::kErrorSuccess;
  registry.CloseKey(handle);
  return found;
}

bool SectionMachine::FolderExists(const std::string& path) {
  const std::uint32_t attributes = platform().files().GetAttributes(path);
  return attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory);
}

std::string SectionMachine::LogText() {
  std::string bytes;
  platform().files().ReadAll(log_.LogFilePath(), &bytes);
  return bytes;
}

xml::Document LoadDocument(const std::string& body) {
  xml::Document doc;
  EXPECT_TRUE(doc.loadXML("<DocRoot><Configuration SpecVersion=\"1.0.0\">" + body +
                          "</Configuration></DocRoot>"))
      << doc.parseError().reason << " at line " << doc.parseError().line << "\n"
      << body;
  return doc;
}

std::string RowXml(const std::string& id, const std::string& value) {
  return "<Row ID=\"" + id + "\" Value=\"" + value + "\" />";
}

}  // namespace dav::catalogue::testing
