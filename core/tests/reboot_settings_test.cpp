// What initialisation re-establishes at every start, on the simulated PC (whose display
// mode and event journal the tests set and read): the published resolutions, the display
// mode a document asked to keep, and the clean-up notices.
#include <gtest/gtest.h>

#include "core/component.h"
#include "core/tests/component_fixture.h"
#include "platform/sim/machine.h"
#include "registry/md_registry.h"
#include "registry/md_spm.h"

namespace dav::core::testing {
namespace {

class RebootSettingsTest : public ::testing::Test, public ComponentFixture {
 protected:
  platform::sim::Machine& machine() { return dynamic_cast<platform::sim::Machine&>(platform()); }
  void SetClient(const std::string& name, std::string value) {
    util::Log log(platform(), "C:\\");
    mdSPM(log).SetRegValue(platform::kHKeyLocalMachine, kClientKey, name, platform::kRegSz, value);
  }
  std::string Client(const std::string& name) {
    util::Log log(platform(), "C:\\");
    return mdRegistry(log).ReadString(platform::kHKeyLocalMachine, kClientKey, name, "<missing>");
  }
  // Starts a component; gives the display changes and the notices of its initialisation.
  std::string Start() {
    since_ = machine().Events().empty() ? 0 : machine().Events().back().sequence;
    host().calls.clear();
    component_ = MakeComponent();
    component_->IClientComponent_Initialize(sharedHost(), false);
    std::string seen;
    for (const platform::sim::Event& event : machine().Events(since_)) {
      if (event.kind.rfind("display.", 0) == 0) seen += event.kind + " " + event.detail + "; ";
    }
    for (const std::string& call : host().calls) {
      if (call.rfind("PostNotice ", 0) == 0) seen += call.substr(11) + "; ";
    }
    return seen;
  }
  std::string Debug() { return DebugText(*component_); }

  std::unique_ptr<CCDavIrizevez> component_;
  std::int64_t since_ = 0;
};

// SetDisplayChange asks twice: once to keep the mode, once to set it.
const std::string kTo800 =
    "display.change 800x600x16@75 (flags 0x1); display.change 800x600x16@75 (flags 0x1); ";

TEST_F(RebootSettingsTest, DisplayModeOnlyWhenRebootDisplayIsNotZero) {
  SetClient("DisplayList", "800 x 600*16*75");
  EXPECT_EQ(Start(), "") << "RebootDisplay absent";
  SetClient("RebootDisplay", "0");
  EXPECT_EQ(Start(), "");
  SetClient("RebootDisplay", "1");
  EXPECT_EQ(Start(), kTo800);
  EXPECT_EQ(Start(), kTo800) << "the same at every start";

  util::Log log(platform(), "C:\\");
  mdRegistry(log).DeleteValue(platform::kHKeyLocalMachine, kClientKey, "DisplayList");
  EXPECT_EQ(Start(), kTo800) << "without DisplayList the mode in use is set again unchanged";
}

TEST_F(RebootSettingsTest, CleanUpNoticesInOrderWithOneForFilesAndCookies) {
  const std::string notice = "ZezOvezorara ";
  SetClient("RebootWinOpt", "010100");
  EXPECT_EQ(Start(), notice + "APL_TEMPFILE 1; ");
  SetClient("RebootWinOpt", "000100");
  EXPECT_EQ(Start(), notice + "APL_TEMPFILE 1; ") << "cookies are cleaned with the files";
  SetClient("RebootWinOpt", "001000");
  EXPECT_EQ(Start(), notice + "APL_TEMPFOLDER 1; ");
  SetClient("RebootWinOpt", "111111");
  EXPECT_EQ(Start(), notice + "APL_GARBAGE 1; " + notice + "APL_TEMPFILE 1; " + notice +
                         "APL_TEMPFOLDER 1; " + notice + "APL_HISTORY 1; " + notice +
                         "APL_DOC 1; ");
  SetClient("RebootWinOpt", "1");
  EXPECT_EQ(Start(), notice + "APL_GARBAGE 1; ") << "missing positions are not asked for";
}

TEST_F(RebootSettingsTest, MalformedDisplayListEndsBeforeTheNotices) {
  SetClient("RebootDisplay", "1");
  SetClient("RebootWinOpt", "100000");
  SetClient("DisplayList", "800 X 600*16*75");
  EXPECT_EQ(Start(), "") << "a capital X parts nothing";
  EXPECT_NE(Debug().find(" [CCDavIrizevez.RebootSettings] \t13\t"), std::string::npos) << Debug();
  EXPECT_NE(Debug().find("에러라인 -> 350 , "), std::string::npos) << Debug();
  SetClient("DisplayList", "800 x 600*16");
  EXPECT_EQ(Start(), "") << "no refresh rate";
  SetClient("DisplayList", " 800x 600 *16*75");
  EXPECT_EQ(Start(), kTo800 + "ZezOvezorara APL_GARBAGE 1; ")
      << "blanks in the resolution do not matter";
}

TEST_F(RebootSettingsTest, ResolutionsArePublishedAndAnEmptyCatalogueKeepsTheOldList) {
  Start();
  EXPECT_EQ(Client("Display"), "800 x 600*1024 x 768*1152 x 864*1280 x 1024");
  machine().SetDisplayModes({{0x5C0000, 8, 640, 480, 60}});
  Start();
  EXPECT_EQ(Client("Display"), "800 x 600*1024 x 768*1152 x 864*1280 x 1024");
  EXPECT_NE(Debug().find("에러라인 -> 340 , "), std::string::npos) << Debug();
}

}  // namespace
}  // namespace dav::core::testing
