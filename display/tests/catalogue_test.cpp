// The display catalogue over an adapter whose mode list the test chooses.
#include <gtest/gtest.h>

#include <vector>

#include "display/cls_available_info.h"

namespace dav {
namespace {

using platform::DisplayMode;

constexpr std::uint32_t kAllFields = 0x5C0000;

DisplayMode Mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                 std::uint32_t frequency) {
  return DisplayMode{kAllFields, bits, width, height, frequency};
}

// An adapter with a fixed list that keeps every change asked of it.
class ListedDisplay : public platform::Display {
 public:
  struct Change {
    DisplayMode mode;
    std::uint32_t flags;
    bool ex;
    long pumpsBefore;
  };

  ListedDisplay(std::vector<DisplayMode> modes, DisplayMode current, platform::FakeClock& clock)
      : modes_(std::move(modes)), current_(current), clock_(clock) {}

  bool ModeSettings(std::uint32_t number, DisplayMode* mode) override {
    if (number == platform::kEnumCurrentSettings) {
      *mode = current_;
      return true;
    }
    if (number >= modes_.size()) return false;
    *mode = modes_[number];
    return true;
  }
  std::int32_t ChangeModeEx(const DisplayMode& mode, std::uint32_t flags) override {
    changes.push_back({mode, flags, true, clock_.pumps()});
    return platform::kDispChangeSuccessful;
  }
  std::int32_t ChangeMode(const DisplayMode& mode, std::uint32_t flags) override {
    changes.push_back({mode, flags, false, clock_.pumps()});
    return platform::kDispChangeSuccessful;
  }

  void SetCurrent(const DisplayMode& mode) { current_ = mode; }

  std::vector<Change> changes;

 private:
  std::vector<DisplayMode> modes_;
  DisplayMode current_;
  platform::FakeClock& clock_;
};

class Catalogue : public ::testing::Test {
 protected:
  clsAvailableInfo& Make(std::vector<DisplayMode> modes,
                         DisplayMode current = Mode(1024, 768, 32, 60)) {
    display_ = std::make_unique<ListedDisplay>(std::move(modes), current, clock_);
    info_ = std::make_unique<clsAvailableInfo>(*display_, clock_);
    return *info_;
  }

  platform::FakeClock clock_{platform::LocalTime{}};
  std::unique_ptr<ListedDisplay> display_;
  std::unique_ptr<clsAvailableInfo> info_;
};

TEST_F(Catalogue, ModesUnder800x600AreNotListed) {
  clsAvailableInfo& info =
      Make({Mode(640, 480, 32, 60), Mode(799, 600, 32, 60), Mode(800, 599, 16, 60)});
  std::int32_t count = -1;
  EXPECT_EQ(info.GetCount(), 0);
  EXPECT_TRUE(info.GetResolutionW(count).empty());
  EXPECT_EQ(count, 0) << "an adapter with only small modes gives an empty catalogue";
  count = -1;
  EXPECT_TRUE(info.GetResolutionH(count).empty());
  EXPECT_EQ(count, 0);
}

TEST_F(Catalogue, RepeatedDepthsAndRatesAreKeptOnceInFirstOrder) {
  clsAvailableInfo& info =
      Make({Mode(1024, 768, 16, 60), Mode(1024, 768, 16, 75), Mode(1024, 768, 16, 60),
            Mode(1024, 768, 32, 60), Mode(1024, 768, 32, 75), Mode(1024, 768, 32, 60),
            Mode(800, 600, 32, 0), Mode(800, 600, 32, 1)});
  std::int32_t count = 0;
  EXPECT_EQ(info.GetResolutionW(count), (std::vector<std::int32_t>{1024, 800}))
      << "resolutions in the order the adapter first reported them, not sorted";
  EXPECT_EQ(count, 2);
  EXPECT_EQ(info.GetResolutionH(count), (std::vector<std::int32_t>{768, 600}));
  EXPECT_EQ(info.GetColorBit(1024, 768, count), (std::vector<std::int16_t>{16, 32}));
  EXPECT_EQ(count, 2);
  for (const std::int16_t bits : {16, 32}) {
    EXPECT_EQ(info.GetRefresh(1024, 768, bits, count), (std::vector<std::int32_t>{60, 75}))
        << bits << "-bit rates: 60, 75, 60 again gives 60 and 75 once";
    EXPECT_EQ(count, 2);
  }
  EXPECT_EQ(info.GetRefresh(800, 600, 32, count), (std::vector<std::int32_t>{0, 1}))
      << "the default rates 0 and 1 are rates like any other";
}

TEST_F(Catalogue, DepthsUnder8BitsAddNoDepthButKeepTheResolution) {
  clsAvailableInfo& info =
      Make({Mode(1024, 768, 4, 60), Mode(1280, 1024, 4, 60), Mode(1280, 1024, 8, 60)});
  std::int32_t count = -1;
  EXPECT_EQ(info.GetResolutionW(count), (std::vector<std::int32_t>{1024, 1280}));
  EXPECT_EQ(info.GetColorBit(1024, 768, count), std::vector<std::int16_t>{})
      << "a 4-bit mode alone creates its resolution without depths";
  EXPECT_EQ(count, 0);
  EXPECT_EQ(info.GetColorBit(1280, 1024, count), std::vector<std::int16_t>{8});
  EXPECT_TRUE(info.GetRefresh(1280, 1024, 4, count).empty()) << "the 4-bit depth is not kept";
}

TEST_F(Catalogue, UnknownLookupsLeaveTheCountAlone) {
  clsAvailableInfo& info = Make({Mode(1024, 768, 32, 60)});
  std::int32_t count = 99;
  EXPECT_TRUE(info.GetColorBit(1280, 1024, count).empty());
  EXPECT_EQ(count, 99) << "a resolution not in the catalogue";
  EXPECT_TRUE(info.GetRefresh(1280, 1024, 32, count).empty());
  EXPECT_EQ(count, 99);
  EXPECT_TRUE(info.GetRefresh(1024, 768, 16, count).empty());
  EXPECT_EQ(count, 99) << "a depth the resolution does not have";
}

TEST_F(Catalogue, InitScreenInfoIsReadAtEveryCall) {
  clsAvailableInfo& info = Make({Mode(1024, 768, 32, 60)}, Mode(1024, 768, 32, 60));
  display_->SetCurrent(Mode(800, 600, 16, 75));
  std::int32_t width = 0, height = 0;
  std::int16_t bits = 0, refresh = 0;
  info.GetInitScreenInfo(width, height, bits, refresh);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  EXPECT_EQ(bits, 16);
  EXPECT_EQ(refresh, 75) << "the mode in use at the call, not at creation";
}

TEST_F(Catalogue, DisplayChangeGoesToBothCallsWithMessagesBetween) {
  clsAvailableInfo& info = Make({Mode(1024, 768, 32, 60)});
  info.SetDisplayChange(1280, 1024, 16, 75);
  ASSERT_EQ(display_->changes.size(), 2u)
      << "ChangeDisplaySettingsExA, then ChangeDisplaySettingsA";
  const auto& first = display_->changes[0];
  const auto& second = display_->changes[1];
  EXPECT_TRUE(first.ex);
  EXPECT_FALSE(second.ex);
  for (const auto& change : display_->changes) {
    EXPECT_EQ(change.mode, Mode(1280, 1024, 16, 75));
    EXPECT_EQ(change.mode.fields, 0x5C0000u) << "dmFields: bits, width, height, frequency";
    EXPECT_EQ(change.flags, platform::kCdsUpdateRegistry);
  }
  EXPECT_EQ(second.pumpsBefore - first.pumpsBefore, 1) << "pending messages run once between";
}

}  // namespace
}  // namespace dav
