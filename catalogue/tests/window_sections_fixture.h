// A PC with the context the start menu and window skill sections work in. The sections
// write fixed Windows places (policies, Explorer, the browser's keys); under Wine every test
// shares one real registry, so the machine puts those keys back as they were when it goes.
// Its start menu folder ("Shell Folders" "Start Menu") is a folder in its scratch folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/section_context.h"
#include "platform/tests/test_environment.h"
#include "registry/md_registry.h"
#include "registry/md_spm.h"
#include "util/log.h"
#include "xml/document.h"

namespace dav::catalogue::testing {

inline constexpr const char* kAdvancedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr const char* kPoliciesKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class SectionMachine {
 public:
  // moreKeys: further keys whose values the tests change, put back as they were too.
  SectionMachine(bool winXP, bool win7,
                 const std::vector<std::pair<platform::KeyHandle, std::string>>& moreKeys = {});
  ~SectionMachine();
  SectionMachine(const SectionMachine&) = delete;
  SectionMachine& operator=(const SectionMachine&) = delete;

  SectionContext& ctx() { return ctx_; }
  platform::Platform& platform() { return env_->platform(); }
  const std::string& startMenu() const { return startMenu_; }

  // Removes the values the sections read, as on a PC nobody has set up.
  void ClearSectionKeys();

  // Values read beside the layer under test: kMissing / "<missing>" when not there (an
  // empty text reads as missing too; Exists tells them apart).
  static constexpr std::int32_t kMissing = -987654;
  std::int32_t Dword(platform::KeyHandle hive, const std::string& key, const std::string& name) {
    return registry_.ReadDWORD(hive, key, name, kMissing);
  }
  std::string Text(platform::KeyHandle hive, const std::string& key, const std::string& name) {
    return registry_.ReadString(hive, key, name, "<missing>");
  }
  std::string Client(const std::string& name) {
    return Text(platform::kHKeyLocalMachine, kClientKey, name);
  }
  bool Exists(platform::KeyHandle hive, const std::string& key, const std::string& name);
  void SetText(platform::KeyHandle hive, const std::string& key, const std::string& name,
               std::string value) {
    spm_.SetRegValue(hive, key, name, platform::kRegSz, value);
  }
  bool FolderExists(const std::string& path);

  // Today's log, for failure lines.
  std::string LogText();

  SectionRequests requests;
  DisplayMode mode{1024, 768, 32, 60};

 private:
  struct SavedKey {
    platform::KeyHandle hive;
    std::string path;
    bool existed = false;
    std::vector<std::pair<std::string, std::pair<platform::ValueType, std::string>>> values;
  };

  std::unique_ptr<platform::testing::TestEnvironment> env_;
  std::vector<SavedKey> saved_;
  util::Log log_;
  mdRegistry registry_;
  mdSPM spm_;
  SectionContext ctx_;
  std::string startMenu_;
};

// A document around the body; the test fails when it does not load.
xml::Document LoadDocument(const std::string& body);

std::string RowXml(const std::string& id, const std::string& value);

}  // namespace dav::catalogue::testing
