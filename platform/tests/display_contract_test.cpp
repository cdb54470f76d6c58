// The primary display's modes as EnumDisplaySettingsA reports them, and changes that leave
// the display as it is (a test never changes the mode of a real screen).
#include <gtest/gtest.h>

#include <vector>

#include "platform/tests/test_environment.h"

namespace dav::platform {
namespace {

constexpr std::uint32_t kModeFields =
    kDmBitsPerPel | kDmPelsWidth | kDmPelsHeight | kDmDisplayFrequency;
// No adapter offers this many modes; a list that goes on past it never ends.
constexpr std::uint32_t kModeLimit = 100000;

class DisplayContract : public ::testing::Test {
 protected:
  void SetUp() override { env_ = testing::MakeTestEnvironment(); }
  Display& display() { return env_->platform().display(); }

  DisplayMode Current() {
    DisplayMode mode;
    EXPECT_TRUE(display().ModeSettings(kEnumCurrentSettings, &mode))
        << "EnumDisplaySettingsA(ENUM_CURRENT_SETTINGS)";
    return mode;
  }

  std::vector<DisplayMode> Listed() {
    std::vector<DisplayMode> modes;
    DisplayMode mode;
    while (modes.size() < kModeLimit &&
           display().ModeSettings(static_cast<std::uint32_t>(modes.size()), &mode)) {
      modes.push_back(mode);
    }
    return modes;
  }

  std::unique_ptr<testing::TestEnvironment> env_;
};

bool SameMode(const DisplayMode& a, const DisplayMode& b) {
  return a.pelsWidth == b.pelsWidth && a.pelsHeight == b.pelsHeight &&
         a.bitsPerPel == b.bitsPerPel && a.displayFrequency == b.displayFrequency;
}

TEST_F(DisplayContract, ModeInUseIsOneOfTheListedModes) {
  const DisplayMode current = Current();
  EXPECT_EQ(current.fields & kModeFields, kModeFields) << "dmFields of the current settings";
  EXPECT_GT(current.pelsWidth, 0u);
  EXPECT_GT(current.pelsHeight, 0u);
  EXPECT_GT(current.bitsPerPel, 0u);

  const auto modes = Listed();
  ASSERT_FALSE(modes.empty()) << "mode 0 must exist";
  ASSERT_LT(modes.size(), kModeLimit) << "the mode list must end with a failing call";
  bool found = false;
  for (const DisplayMode& mode : modes) {
    EXPECT_EQ(mode.fields & kModeFields, kModeFields) << "dmFields of a listed mode";
    found = found || SameMode(mode, current);
  }
  EXPECT_TRUE(found) << "the mode in use is one the adapter lists";
  DisplayMode past;
  EXPECT_FALSE(display().ModeSettings(static_cast<std::uint32_t>(modes.size()) + 1000, &past))
      << "a mode number past the end fails, not only the first one";
}

TEST_F(DisplayContract, ModeNotOfferedIsRefusedAndChangesNothing) {
  const DisplayMode before = Current();
  DisplayMode odd{kModeFields, 32, 12345, 678, 60};
  EXPECT_EQ(display().ChangeModeEx(odd, 0), kDispChangeBadMode)
      << "ChangeDisplaySettingsExA with a size no adapter has";
  EXPECT_EQ(display().ChangeMode(odd, 0), kDispChangeBadMode) << "ChangeDisplaySettingsA";
  EXPECT_TRUE(SameMode(Current(), before)) << "a refused mode leaves the display as it was";
}

TEST_F(DisplayContract, ModeInUseCanBeSetAgain) {
  DisplayMode current = Current();
  current.fields = kModeFields;
  EXPECT_EQ(display().ChangeModeEx(current, kCdsUpdateRegistry), kDispChangeSuccessful)
      << "ChangeDisplaySettingsExA to the mode in use, CDS_UPDATEREGISTRY";
  EXPECT_EQ(display().ChangeMode(current, kCdsUpdateRegistry), kDispChangeSuccessful)
      << "ChangeDisplaySettingsA to the mode in use";
  EXPECT_TRUE(SameMode(Current(), current));
}

}  // namespace
}  // namespace dav::platform
