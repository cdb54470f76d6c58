// The display catalogue over the platform's own adapter: the simulated PC's, or Windows'
// (Wine's) primary display. A test changes the mode of a real screen only to the mode it
// already has.
#include <gtest/gtest.h>

#include "display/cls_available_info.h"
#include "platform/tests/test_environment.h"
#if DAV_PLATFORM_SIM
#include "platform/sim/machine.h"
#endif

namespace dav {
namespace {

struct ScreenInfo {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int16_t bits = 0;
  std::int16_t refresh = 0;
  bool operator==(const ScreenInfo&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ScreenInfo& s) {
  return out << s.width << "x" << s.height << "x" << s.bits << "@" << s.refresh;
}

class PlatformCatalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = platform::testing::MakeTestEnvironment();
    info_ = std::make_unique<clsAvailableInfo>(pc().display(), pc().clock());
  }
  platform::Platform& pc() { return env_->platform(); }

  ScreenInfo Screen() {
    ScreenInfo s;
    info_->GetInitScreenInfo(s.width, s.height, s.bits, s.refresh);
    return s;
  }

  std::unique_ptr<platform::testing::TestEnvironment> env_;
  std::unique_ptr<clsAvailableInfo> info_;
};

TEST_F(PlatformCatalogue, ListsTheAdaptersLargerModes) {
  std::int32_t count = 0;
  const auto widths = info_->GetResolutionW(count);
  const auto heights = info_->GetResolutionH(count);
  ASSERT_GT(count, 0) << "the adapter offers at least one mode of 800 x 600 or more";
  for (std::int32_t i = 0; i < count; ++i) {
    EXPECT_GE(widths[i], 800);
    EXPECT_GE(heights[i], 600);
  }
  const ScreenInfo screen = Screen();
  if (screen.width >= 800 && screen.height >= 600 && screen.bits >= 8) {
    std::int32_t rates = 0;
    const auto listed = info_->GetRefresh(screen.width, screen.height, screen.bits, rates);
    EXPECT_NE(std::find(listed.begin(), listed.end(), screen.refresh), listed.end())
        << "the mode in use, " << screen << ", is in the catalogue";
  }
}

TEST_F(PlatformCatalogue, ChangeToTheModeInUseKeepsIt) {
  const ScreenInfo before = Screen();
  info_->SetDisplayChange(before.width, before.height, before.bits, before.refresh);
  EXPECT_EQ(Screen(), before) << "SetDisplayChange with GetInitScreenInfo's values re-applies it";
}

#if DAV_PLATFORM_SIM
platform::sim::Machine& MachineOf(platform::Platform& pc) {
  return dynamic_cast<platform::sim::Machine&>(pc);
}

std::vector<std::string> EventsOfKind(platform::sim::Machine& machine, const std::string& kind) {
  std::vector<std::string> details;
  for (const auto& event : machine.Events()) {
    if (event.kind == kind) details.push_back(event.detail);
  }
  return details;
}

TEST_F(PlatformCatalogue, OfferedModeBecomesCurrentAndIsKept) {
  info_->SetDisplayChange(800, 600, 16, 75);
  EXPECT_EQ(Screen(), (ScreenInfo{800, 600, 16, 75}));
  platform::DisplayMode kept;
  ASSERT_TRUE(pc().display().ModeSettings(platform::kEnumRegistrySettings, &kept));
  EXPECT_EQ(kept.pelsWidth, 800u) << "CDS_UPDATEREGISTRY keeps the mode for the next start";
  EXPECT_EQ(EventsOfKind(MachineOf(pc()), "display.change"),
            (std::vector<std::string>{"800x600x16@75 (flags 0x1)", "800x600x16@75 (flags 0x1)"}))
      << "both calls of the change are journaled";
}
#endif

}  // namespace
}  // namespace dav
