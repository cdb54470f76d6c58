#include "util/mod_main.h"

#include <gtest/gtest.h>

#include "util/run_time_error.h"
#include "util/tests/util_test_support.h"

namespace dav::modMain {
namespace {

using namespace std::chrono;
using util::testing::At;

class ModMainTest : public ::testing::Test, public util::testing::UtilFixture {};

TEST_F(ModMainTest, TextHelpers) {
  EXPECT_EQ(NormalizeFlag("1"), "1");
  EXPECT_EQ(NormalizeFlag("01"), "0");
  EXPECT_EQ(NormalizeFlag(" 1"), "0");
  EXPECT_EQ(Strz2Str("abc"), "abc");
  EXPECT_EQ(Strz2Str(std::string("\0abc", 4)), "");
  EXPECT_EQ(Strz2Str(std::string("ab\0c", 4)), "ab");
  // The ampersand goes first: an entity in the input is escaped once, the new ones are not.
  EXPECT_EQ(XMLValueReplace(*log, "&lt;\"R&D\" <x>"), "&amp;lt;&quot;R&amp;D&quot; &lt;x&gt;");
}

TEST_F(ModMainTest, WaitSecondsEndsAcrossMidnightWithoutSleeping) {
  clock->Set(At(year{2026} / 12 / 31, 23, 59, 59));
  const platform::LocalTime start = clock->Now();
  WaitSeconds(*clock, 2);
  EXPECT_GE(clock->Now() - start, seconds(2));
  EXPECT_LT(clock->Now() - start, seconds(3)) << "the wait must end soon after two seconds";
  const long pumps = clock->pumps();
  WaitSeconds(*clock, 0);
  EXPECT_EQ(clock->pumps(), pumps + 1) << "messages run at least once";
}

TEST_F(ModMainTest, SpecialFoldersAndTheWindowsFamily) {
  EXPECT_EQ(GetSpecialFolderPath(*log, 0x7fff), "") << "an unknown folder gives an empty path";
  EXPECT_EQ(GetSpecialFolderPath(*log, platform::kCsidlDrives), "") << "My Computer has no path";
  EXPECT_FALSE(GetSpecialFolderPath(*log, platform::kCsidlStartup).empty());
  EXPECT_EQ(UF_IsWinNT(*log),
            platform().system().Version().platformId == platform::kPlatformWin32NT);
}

TEST_F(ModMainTest, IniHelpersUseA500CharacterBuffer) {
  const std::string file = folder() + "\\qrlSysConfig.ini";
  const std::string longValue(600, 'x');
  ASSERT_TRUE(WriteIniString(platform(), file, "setting", "Path", longValue));
  EXPECT_EQ(ReadIniString(platform(), file, "setting", "Path", ""), std::string(499, 'x'));
  EXPECT_EQ(ReadIniString(platform(), file, "SETTING", "missing", "기본"), "기본");
}

}  // namespace
}  // namespace dav::modMain
