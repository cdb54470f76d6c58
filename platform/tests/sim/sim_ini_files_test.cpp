// What the simulated ini files promise beyond the profile-string calls: a write touches
// only its own lines, refuses texts that would break the file, and keeps a UTF-8 file UTF-8.
#include "platform/sim/sim_ini_files.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_file_system.h"
#include "platform/tests/sim/temp_folder.h"

namespace dav::platform::sim {
namespace {

class SimIniFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(temp_.path() / "C"); }

  void Store(const std::string& bytes) { ASSERT_EQ(files_.WriteAll(kFile, bytes), kErrorSuccess); }
  std::string Stored() {
    std::string bytes;
    files_.ReadAll(kFile, &bytes);
    return bytes;
  }

  static constexpr const char* kFile = "C:\\qrlSysConfig.ini";
  testing::TempFolder temp_;
  SimFileSystem files_{temp_.path()};
  SimIniFiles ini_{files_, [] { return 949u; }, [] { return std::string("C:\\WINDOWS"); }};
};

TEST_F(SimIniFilesTest, AWriteChangesOnlyItsOwnLines) {
  const std::string untouched =
      "; written by hand\n"
      "[setting]\r\n"
      "0 = MQ==   \r\n"
      "\r\n"
      "[value]\r\n"
      "0=\xB0\xA1\xFF\r\n"  // a byte that is no character of 949 stays as it is
      "\r\n";
  Store(untouched + "[last]\r\nk=v");
  ASSERT_TRUE(ini_.WriteString(kFile, "setting", "1", "MA=="));
  ASSERT_TRUE(ini_.WriteString(kFile, "last", "k2", "w"));
  EXPECT_EQ(Stored(),
            "; written by hand\n[setting]\r\n0 = MQ==   \r\n1=MA==\r\n\r\n"
            "[value]\r\n0=\xB0\xA1\xFF\r\n\r\n[last]\r\nk=v\r\nk2=w\r\n")
      << "a new key follows the section's last line that is not blank";
}

TEST_F(SimIniFilesTest, TextsThatWouldBreakTheFileAreRefused) {
  Store("[s]\r\nk=v\r\n");
  EXPECT_FALSE(ini_.WriteString(kFile, "s", "k", "x\r\n[injected]\r\nevil=1"));
  EXPECT_FALSE(ini_.WriteString(kFile, "s", "a=b", "v")) << "\"=\" in a key";
  EXPECT_FALSE(ini_.WriteString(kFile, "s]x", "k", "v")) << "\"]\" in a section";
  EXPECT_FALSE(ini_.WriteString(kFile, "s", "k", "ก")) << "949 cannot hold Thai";
  EXPECT_EQ(Stored(), "[s]\r\nk=v\r\n") << "a refused write leaves the file as it was";
}

TEST_F(SimIniFilesTest, AFileMarkedAsUtf8StaysUtf8) {
  Store("\xEF\xBB\xBF[s]\r\nk=가\r\n");
  EXPECT_EQ(ini_.ReadString(kFile, "s", "k", "", 500), "가");
  EXPECT_EQ(ini_.ReadString(kFile, "s", "k", "", 3), "가") << "cut in ANSI bytes all the same";
  ASSERT_TRUE(ini_.WriteString(kFile, "s", "k2", "나"));
  EXPECT_EQ(Stored(), "\xEF\xBB\xBF[s]\r\nk=가\r\nk2=나\r\n");
}

}  // namespace
}  // namespace dav::platform::sim
