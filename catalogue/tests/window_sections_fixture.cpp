#include "catalogue/tests/window_sections_fixture.h"

namespace dav::catalogue::testing {
namespace {

using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

// Every key the two section families write or read.
std::vector<KeyPlace> SectionKeys() {
  return {
      {kHKeyCurrentUser, kAdvancedKey},
      {kHKeyCurrentUser, kPoliciesKey},
      {kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"},
      {kHKeyCurrentUser, "Control Panel\\Keyboard"},
      {kHKeyCurrentUser, "Software\\Microsoft\\Internet Explorer"},
      {kHKeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main"},
      {kHKeyCurrentUser, "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel"},
      {kHKeyLocalMachine, kPoliciesKey},
      {kHKeyLocalMachine, kClientKey},
  };
}

bool KeyExists(platform::Registry& registry, platform::KeyHandle hive, const std::string& path) {
  platform::KeyHandle key = platform::kNoKey;
  if (registry.OpenKey(hive, path, &key) != platform::kErrorSuccess) return false;
  registry.CloseKey(key);
  return true;
}

void DeleteValues(platform::Registry& registry, platform::KeyHandle hive, const std::string& path) {
  platform::KeyHandle key = platform::kNoKey;
  if (registry.OpenKey(hive, path, &key) != platform::kErrorSuccess) return;
  std::string name;
  platform::ValueType type = 0;
  std::string data;
  while (registry.EnumValue(key, 0, &name, &type, &data) == platform::kErrorSuccess) {
    if (registry.DeleteValue(key, name) != platform::kErrorSuccess) break;
  }
  registry.CloseKey(key);
}

void DeleteTree(platform::Registry& registry, platform::KeyHandle hive, const std::string& path) {
  platform::KeyHandle key = platform::kNoKey;
  if (registry.OpenKey(hive, path, &key) != platform::kErrorSuccess) return;
  std::string sub;
  std::vector<std::string> subKeys;
  for (std::uint32_t i = 0; registry.EnumKey(key, i, &sub) == platform::kErrorSuccess; ++i) {
    subKeys.push_back(sub);
  }
  registry.CloseKey(key);
  for (const std::string& s : subKeys) DeleteTree(registry, hive, path + "\\" + s);
  registry.DeleteKey(hive, path);
}

}  // namespace

RegistrySnapshot::RegistrySnapshot(platform::Registry& registry, std::vector<KeyPlace> places)
    : registry_(registry) {
  for (KeyPlace& place : places) {
    Saved saved;
    saved.place = std::move(place);
    platform::KeyHandle key = platform::kNoKey;
    saved.existed =
        registry_.OpenKey(saved.place.hive, saved.place.path, &key) == platform::kErrorSuccess;
    if (saved.existed) {
      Value v;
      for (std::uint32_t i = 0;
           registry_.EnumValue(key, i, &v.name, &v.type, &v.data) == platform::kErrorSuccess; ++i) {
        saved.values.push_back(v);
      }
      registry_.CloseKey(key);
    } else {
      // Walk up to the highest level that is missing too.
      saved.missingRoot = saved.place.path;
      for (std::size_t cut = saved.missingRoot.rfind('\\'); cut != std::string::npos;
           cut = saved.missingRoot.rfind('\\')) {
        const std::string parent = saved.missingRoot.substr(0, cut);
        if (KeyExists(registry_, saved.place.hive, parent)) break;
        saved.missingRoot = parent;
      }
    }
    saved_.push_back(std::move(saved));
  }
}

RegistrySnapshot::~RegistrySnapshot() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (!it->existed) {
      DeleteTree(registry_, it->place.hive, it->missingRoot);
      continue;
    }
    DeleteValues(registry_, it->place.hive, it->place.path);
    platform::KeyHandle key = platform::kNoKey;
    if (registry_.CreateKey(it->place.hive, it->place.path, &key) != platform::kErrorSuccess) {
      continue;
    }
    for (const Value& v : it->values) registry_.SetValue(key, v.name, v.type, v.data);
    registry_.CloseKey(key);
  }
}

SectionMachine::SectionMachine(bool winXP, bool win7)
    : env_(platform::testing::MakeTestEnvironment()),
      snapshot_(env_->platform().registry(), SectionKeys()),
      log_(env_->platform(), env_->scratchFolder()),
      registry_(log_),
      spm_(log_),
      ctx_{log_, registry_, spm_, winXP, win7, true, requests, [this] { return mode; }},
      startMenu_(env_->scratchFolder() + "\\시작 메뉴") {
  EXPECT_EQ(platform().files().MakeFolder(startMenu_), platform::kErrorSuccess);
  std::string path = startMenu_;
  spm_.SetRegValue(kHKeyCurrentUser,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                   "Start Menu", platform::kRegSz, path);
}

void SectionMachine::ClearSectionKeys() {
  for (const KeyPlace& place : SectionKeys()) {
    if (place.path.ends_with("Shell Folders")) continue;
    DeleteValues(platform().registry(), place.hive, place.path);
  }
}

std::int32_t SectionMachine::Dword(platform::KeyHandle hive, const std::string& key,
                                   const std::string& name) {
  return registry_.ReadDWORD(hive, key, name, kMissing);
}

std::string SectionMachine::Text(platform::KeyHandle hive, const std::string& key,
                                 const std::string& name) {
  return registry_.ReadString(hive, key, name, "<missing>");
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
  EXPECT_TRUE(
      doc.loadXML("<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot>"
                  "<Configuration SpecVersion=\"1.0.0\">" +
                  body + "</Configuration></DocRoot>"))
      << doc.parseError().reason << " at line " << doc.parseError().line << ", position "
      << doc.parseError().linepos << "\n"
      << body;
  return doc;
}

::testing::AssertionResult LinesEndInCrLf(const std::string& text) {
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t end = text.find("\r\n", from);
    if (end == std::string::npos || end == from || text.find('\n', from) < end) {
      return ::testing::AssertionFailure() << "a line without CR LF at " << from << ":\n" << text;
    }
    from = end + 2;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace dav::catalogue::testing
