// Top-level windows found by title and closed with WM_CLOSE. The windows are the test's own;
// where the system cannot show windows at all (Wine without a display driver) the tests are
// skipped.
#include <gtest/gtest.h>

#include "platform/tests/test_environment.h"
#include "platform/tests/test_programs.h"

namespace dav::platform {
namespace {

class WindowContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = testing::MakeTestEnvironment();
    // Korean in the title: FindWindowA gets it in the ANSI code page.
    title_ = "DavTest 창 " + testing::UniqueProgramName("w");
    window_ = testing::OpenTestWindow(env_->platform(), title_);
    if (window_ == kNoWindow) GTEST_SKIP() << "this system cannot open windows";
  }
  void TearDown() override { testing::DestroyTestWindow(env_->platform(), window_); }

  TopLevelWindows& windows() { return env_->platform().windows(); }

  std::unique_ptr<testing::TestEnvironment> env_;
  std::string title_;
  WindowHandle window_ = kNoWindow;
};

TEST_F(WindowContract, FoundByItsWholeTitle) {
  EXPECT_EQ(windows().FindByTitle(title_), window_) << "FindWindowA(NULL, title)";
  std::string otherCase = title_;
  otherCase.replace(0, 7, "DAVTEST");
  EXPECT_EQ(windows().FindByTitle(otherCase), window_) << "FindWindowA ignores letter case";
  EXPECT_EQ(windows().FindByTitle(title_.substr(0, title_.size() - 1)), kNoWindow)
      << "a part of the title finds nothing";
  EXPECT_EQ(windows().FindByTitle(title_ + " "), kNoWindow) << "nor does a longer title";
}

TEST_F(WindowContract, CloseMessageClosesTheWindow) {
  EXPECT_EQ(windows().SendClose(window_), 0) << "SendMessageA(WM_CLOSE) to a plain window";
  EXPECT_EQ(windows().FindByTitle(title_), kNoWindow) << "the window is gone after WM_CLOSE";
  EXPECT_EQ(windows().SendClose(window_), 0) << "WM_CLOSE to a window that is gone";
}

}  // namespace
}  // namespace dav::platform
