// The WIDTHxHEIGHTxBITS@HZ form of davhost display set.
#include "host/display_mode_text.h"

#include <gtest/gtest.h>

namespace dav::host {
namespace {

TEST(DisplayModeText, ReadsFourNumbersAndWritesThemBack) {
  DisplayModeText mode;
  ASSERT_TRUE(ParseDisplayMode("1024x768x32@60", &mode));
  EXPECT_EQ(mode, (DisplayModeText{1024, 768, 32, 60}));
  EXPECT_EQ(FormatDisplayMode(mode), "1024x768x32@60");
  ASSERT_TRUE(ParseDisplayMode("800x600x16@0", &mode)) << "rate 0 is the adapter's default";
  EXPECT_EQ(mode.refresh, 0);
}

TEST(DisplayModeText, RefusesEverythingElse) {
  DisplayModeText mode{1, 2, 3, 4};
  for (const char* text :
       {"", "1024x768", "1024x768x32", "1024x768x32@", "x768x32@60", "1024x768x32@60x",
        "1024 x768x32@60", "-1x768x32@60", "1024x768x+32@60", "0x768x32@60", "1024x0x32@60",
        "1024x768x0@60", "1024x768x32768@60", "99999999999x768x32@60", "1024x768x32@2147483648"}) {
    EXPECT_FALSE(ParseDisplayMode(text, &mode)) << "'" << text << "'";
  }
  EXPECT_EQ(mode, (DisplayModeText{1, 2, 3, 4})) << "a refused text leaves the mode alone";
}

}  // namespace
}  // namespace dav::host
