#include "catalogue/tests/system_sections_fixture.h"

#include <set>

#include "catalogue/control_panel_applets.h"
#include "listdoc/md_type_define.h"
#include "util/ansi_text.h"

namespace dav::catalogue::system_testing {
namespace {

using platform::KeyHandle;

constexpr KeyHandle kHives[] = {kHKCU, kHKLM};

// The values the sections write into keys that hold other settings too.
const std::vector<std::pair<const char*, std::vector<const char*>>> kPolicyValues = {
    {kExplorerPolicies,
     {"NoControlPanel", "NoSetFolders", "DisallowCpl", "NoPropertiesMyComputer", "NoFolderOptions",
      "NoViewOnDrive", "NoDrives", "NoThemesTab"}},
    {kSystemPolicies,
     {"DisableRegistryTools", "DisableTaskMgr", "NoDispBackgroundPage", "NoDispScrSavPage",
      "NoDispAppearancePage", "NoDispSettingsPage"}},
    {kCommandPolicies, {"DisableCMD"}},
    {kNonEnum, {kNetworkItem}},
};

// The keys the sections create and remove whole.
std::vector<std::pair<KeyHandle, std::string>> OwnKeys() {
  std::vector<std::pair<KeyHandle, std::string>> keys = {{kHKCU, kDontLoad},
                                                         {kHKLM, kDontLoad},
                                                         {kHKCU, kAdminTools},
                                                         {kHKLM, kAdminTools},
                                                         {kHKCU, kDisallowList}};
  for (const Win7Applet& applet : Win7Applets()) {
    if (!applet.disallowList)
      keys.emplace_back(kHKLM, kNameSpace + ("\\" + std::string(applet.id)));
  }
  return keys;
}

}  // namespace

SystemMachine::SystemMachine(bool winXP, bool win7)
    : env_(platform::testing::MakeTestEnvironment()),
      log_(env_->platform(), env_->scratchFolder()),
      registry_(log_),
      spm_(log_),
      ctx_{log_, registry_, spm_, winXP, win7, true, requests, [] { return DisplayMode{}; }} {
  std::set<std::pair<KeyHandle, std::string>> places;  // every key on the way, parents first
  auto add = [&](KeyHandle hive, const std::string& path) {
    for (std::size_t cut = 0; cut != std::string::npos; cut = path.find('\\', cut + 1)) {
      if (cut > 0) places.emplace(hive, path.substr(0, cut));
    }
    places.emplace(hive, path);
  };
  for (KeyHandle hive : kHives) {
    for (const auto& [key, names] : kPolicyValues) add(hive, key);
  }
  for (const auto& [hive, key] : OwnKeys()) add(hive, key);
  for (const auto& place : places) {
    if (!KeyExists(place.first, place.second)) missing_.push_back(place);
  }
  Clear();
}

SystemMachine::~SystemMachine() {
  Clear();
  for (auto it = missing_.rbegin(); it != missing_.rend(); ++it) {
    env_->platform().registry().DeleteKey(it->first, it->second);
  }
}

void SystemMachine::Clear() {
  for (KeyHandle hive : kHives) {
    for (const auto& [key, names] : kPolicyValues) {
      for (const char* name : names) registry_.DeleteValue(hive, key, name);
    }
  }
  for (const auto& [hive, key] : OwnKeys()) registry_.RemoveKey(hive, key);
  env_->platform().files().Delete(env_->scratchFolder() + "\\qrlSysConfig.ini");
}

bool SystemMachine::KeyExists(KeyHandle hive, const std::string& key) {
  const KeyHandle handle = spm_.GetRegHKey(hive, key);
  if (handle != platform::kNoKey) env_->platform().registry().CloseKey(handle);
  return handle != platform::kNoKey;
}

std::string SystemMachine::Ini(const std::string& section, const std::string& key) {
  return env_->platform().ini().ReadString(env_->scratchFolder() + "\\qrlSysConfig.ini", section,
                                           key, "<missing>", 4096);
}

void SystemMachine::SetIni(const std::string& section, const std::string& key,
                           const std::string& value) {
  ASSERT_TRUE(env_->platform().ini().WriteString(env_->scratchFolder() + "\\qrlSysConfig.ini",
                                                 section, key, value));
}

std::string SystemMachine::LogText() {
  std::string bytes;
  env_->platform().files().ReadAll(log_.LogFilePath(), &bytes);
  return util::FromAnsi(env_->platform(), bytes);
}

xml::Document LoadSysDocument(const std::string& body) {
  xml::Document document;
  EXPECT_TRUE(document.loadXML(mdTypeDefine::XMLDocument("1.0.0", body)))
      << "the sections do not load: " << body;
  return document;
}

}  // namespace dav::catalogue::system_testing
