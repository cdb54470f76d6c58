// The Windows backend calls the ANSI functions: names travel as UTF-8 inside and in the ANSI
// code page (949) across the boundary. These cases look at what Windows itself then holds,
// through the wide functions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/tests/test_environment.h"
#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

namespace dav::platform {
namespace {

class AnsiBoundary : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = testing::MakeTestEnvironment();
    if (GetACP() != 949) GTEST_SKIP() << "needs the Korean ANSI code page 949";
  }

  FileSystem& files() { return env_->platform().files(); }
  Registry& registry() { return env_->platform().registry(); }
  std::string At(const std::string& name) { return env_->scratchFolder() + "\\" + name; }

  std::unique_ptr<testing::TestEnvironment> env_;
};

TEST_F(AnsiBoundary, KoreanFileNamesAreWindowsOwnNames) {
  ASSERT_EQ(files().WriteAll(At("바탕 화면.txt"), "x"), kErrorSuccess);
  EXPECT_NE(GetFileAttributesW(win32::ToWide(At("바탕 화면.txt")).c_str()), INVALID_FILE_ATTRIBUTES)
      << "the file must carry the Korean name itself, not its 949 bytes read as another code page";
  std::vector<FileEntry> entries;
  ASSERT_EQ(files().FindFiles(At("*.txt"), 0, &entries), kErrorSuccess);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "바탕 화면.txt") << "FindFirstFileA's name comes back as UTF-8";
}

TEST_F(AnsiBoundary, RegistryNamesOutsideTheCodePageBecomeQuestionMarks) {
  KeyHandle scratch = kNoKey;
  ASSERT_EQ(registry().OpenKey(kHKeyCurrentUser, env_->scratchKey(), &scratch), kErrorSuccess);
  KeyHandle key = kNoKey;
  ASSERT_EQ(registry().CreateKey(scratch, "시작 프로그램", &key), kErrorSuccess);
  registry().CloseKey(key);
  HKEY wide = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER,
                          win32::ToWide(env_->scratchKey() + "\\시작 프로그램").c_str(), 0,
                          KEY_READ, &wide),
            ERROR_SUCCESS)
      << "RegCreateKeyExA got the key name in 949";
  if (wide != nullptr) RegCloseKey(wide);

  ASSERT_EQ(registry().CreateKey(scratch, "Ä", &key), kErrorSuccess);
  registry().CloseKey(key);
  std::string name;
  ASSERT_EQ(registry().EnumKey(scratch, 0, &name), kErrorSuccess);
  EXPECT_EQ(name, "?") << "949 has no \"Ä\": the ANSI call is handed \"?\" in its place";
  registry().CloseKey(scratch);
}

}  // namespace
}  // namespace dav::platform
