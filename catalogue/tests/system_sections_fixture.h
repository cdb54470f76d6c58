// A PC with the context the control panel, used access and folder access sections work
// in. The sections write fixed Windows places; under Wine every test shares one real
// registry (whose fresh prefix holds none of these values), so the machine clears them
// when it starts and when it goes, and removes the keys it found missing. The folder
// access file lives in the test's own scratch folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/section_context.h"
#include "platform/tests/test_environment.h"
#include "xml/document.h"

namespace dav::catalogue::system_testing {

inline constexpr platform::KeyHandle kHKCU = platform::kHKeyCurrentUser;
inline constexpr platform::KeyHandle kHKLM = platform::kHKeyLocalMachine;
inline constexpr const char* kExplorerPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char* kSystemPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char* kCommandPolicies = "Software\\Policies\\Microsoft\\Windows\\System";
inline constexpr const char* kDisallowList =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\DisallowCpl";
inline constexpr const char* kDontLoad = "Control Panel\\don't load";
inline constexpr const char* kNameSpace =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ControlPanel\\NameSpace";
inline constexpr const char* kAdminTools =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ControlPanel\\NameSpace\\"
    "{D20EA4E1-3957-11d2-A40B-0C5020524153}";
inline constexpr const char* kNonEnum =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\NonEnum";
inline constexpr const char* kNetworkItem = "{7007ACC7-3202-11D1-AAD2-00805FC1270E}";

class SystemMachine {
 public:
  SystemMachine(bool winXP, bool win7);
  ~SystemMachine();

  SectionContext& ctx() { return ctx_; }
  mdRegistry& reg() { return registry_; }

  // Back to a PC nobody has set up: none of the sections' values or keys, no folder access
  // file.
  void Clear();

  static constexpr std::int32_t kMissing = -987654;
  std::int32_t Dword(platform::KeyHandle hive, const std::string& key, const std::string& name) {
    return registry_.ReadDWORD(hive, key, name, kMissing);
  }
  std::string Text(platform::KeyHandle hive, const std::string& key, const std::string& name) {
    return registry_.ReadString(hive, key, name, "<missing>");
  }
  void SetText(platform::KeyHandle hive, const std::string& key, const std::string& name,
               std::string value) {
    spm_.SetRegValue(hive, key, name, platform::kRegSz, value);
  }
  bool KeyExists(platform::KeyHandle hive, const std::string& key);

  // A stored (Base64) text of the folder access file, "<missing>" when absent.
  std::string Ini(const std::string& section, const std::string& key);
  void SetIni(const std::string& section, const std::string& key, const std::string& value);

  // Today's log.
  std::string LogText();

  SectionRequests requests;

 private:
  std::unique_ptr<platform::testing::TestEnvironment> env_;
  std::vector<std::pair<platform::KeyHandle, std::string>> missing_;  // parents first
  util::Log log_;
  mdRegistry registry_;
  mdSPM spm_;
  SectionContext ctx_;
};

// A configuration document around the body; the test fails when it does not load.
xml::Document LoadSysDocument(const std::string& body);

}  // namespace dav::catalogue::system_testing
