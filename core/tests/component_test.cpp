// CCDavIrizevez's lifecycle: initialisation against the host, the choice of the document
// sections' Windows generation, the log lines of a lifetime, and instances that keep to
// themselves.
#include "core/component.h"

#include <gtest/gtest.h>

#include "core/tests/component_fixture.h"
#if DAV_PLATFORM_SIM
#include "platform/sim/machine.h"
#endif

namespace dav::core::testing {
namespace {

class ComponentTest : public ::testing::Test, public ComponentFixture {};

TEST_F(ComponentTest, SpecVersionPicksTheSectionFormOnceForTheComponentsLife) {
  struct Case {
    const char* text;
    bool winXP;
    bool win7;
  };
  for (const Case& c : {Case{"2.5.1", true, false}, Case{"2.6.1", false, true},
                        Case{"2.6", false, false}, Case{"2.6.1 ", false, false}}) {
    auto host = MakeHost();
    host->specVersion = c.text;
    auto component = MakeComponent();
    component->IClientComponent_Initialize(host, false);
    component->IClientComponent_Handle("REQ_NOTHING", "");
    host->specVersion = "2.6.1";  // a later answer must change nothing
    component->IClientComponent_Handle("REQ_NOTHING", "");
    EXPECT_EQ(host->Count("GetSpecVersion"), 1)
        << "host reporting '" << c.text << "' must be asked once, at the first command";
    EXPECT_EQ(component->state().winXP, c.winXP) << "WinXP flag for '" << c.text << "'";
    EXPECT_EQ(component->state().win7, c.win7) << "Win7 flag for '" << c.text << "'";
  }
}

TEST_F(ComponentTest, LifetimeLogsHandleAndTerminateAndReleasesTheHost) {
  auto component = MakeComponent();
  component->IClientComponent_Initialize(sharedHost(), true);
  component->IClientComponent_Handle("REQ_NOTHING", "");
  component->IClientComponent_Terminate();

  // The first start brings the start program store in step and converts its list once.
  EXPECT_EQ(LogText(*component),
            "[2026-12-08 15:04:00]\tCCDavIrizevez.SyncReg Start\r\n"
            "[2026-12-08 15:04:00]\tCCDavIrizevez.SyncReg End\r\n"
            "[2026-12-08 15:04:00]\tCCDavIrizevez.SyncReg Start\r\n"
            "[2026-12-08 15:04:00]\tCCDavIrizevez.SyncReg End\r\n"
            "[2026-12-08 15:04:00]\tmdTypeDefine.XMLStringSPMList Start\r\n"
            "[2026-12-08 15:04:00]\tmdTypeDefine.XMLStringSPMList End\r\n"
            "[2026-12-08 15:04:00]\tCCDavIrizevez.IClientComponent_Handle Start\r\n"
            "[2026-12-08 15:04:00]\tCCDavIrizevez.SetOSVersion Start\r\n"
            "[2026-12-08 15:04:00]\tCCDavIrizevez.SetOSVersion End\r\n"
            "[2026-12-08 15:04:00]\tCCDavIrizevez.IClientComponent_Handle End\r\n"
            "[2026-12-08 15:04:00]\tCCDavIrizevez.SyncReg Start\r\n"
            "[2026-12-08 15:04:00]\tCCDavIrizevez.SyncReg End\r\n"
            "[2026-12-08 15:04:00]\tDavIrizevez Terminate\r\n");
  EXPECT_EQ(DebugText(*component), "2026-12-08 오후 3:04:00 : 스타트\r\n") << "no step failed";
  EXPECT_EQ(host().Count("SendReply"), 0) << "an unknown command does not reply";
  EXPECT_EQ(sharedHost().use_count(), 2) << "Terminate must release the host's object";
}

TEST_F(ComponentTest, InitializeDerivesStoresAndFoldersFromTheHost) {
  host().clientFolder = "D:\\brisal";
  auto component = MakeComponent();
  component->IClientComponent_Initialize(sharedHost(), false);
  const auto& f = component->fields();
  const std::string store = HostKey() + "\\Components\\DavIrizevez.CCDavIrizevez";
  EXPECT_EQ(component->state().componentKey, store);
  EXPECT_EQ(f.startListKey, store + "\\SPManager\\SPMRegStart");
  EXPECT_EQ(f.offListKey, store + "\\SPManager\\SPMRegDelete");
  EXPECT_EQ(f.startFolderKey, store + "\\SPManager\\SPMFolder");
  EXPECT_EQ(f.diStoreKey, store + "\\DIManager");
  EXPECT_EQ(f.startBackupFolder, "D:\\brisal\\Components\\StartProgramManager\\SPBackup");
  EXPECT_EQ(f.desktopBackupFolder, "D:\\brisal\\Components\\DavIrizevez\\DIBackup");
  EXPECT_TRUE(component->state().isWinNT);
  EXPECT_FALSE(f.commonStartFolder.empty() || f.commonDesktopFolder.empty())
      << "the NT family has common start and desktop folders";
#if DAV_PLATFORM_SIM
  dynamic_cast<platform::sim::Machine&>(platform()).SetSetting("platform_id", "1");
  auto win95 = MakeComponent("95");
  win95->IClientComponent_Initialize(MakeHost(), false);
  EXPECT_FALSE(win95->fields().userStartFolder.empty() ||
               win95->fields().userDesktopFolder.empty());
  EXPECT_EQ(win95->fields().commonStartFolder + win95->fields().commonDesktopFolder, "")
      << "the Windows 95 family has no common folders";
#endif
}

TEST_F(ComponentTest, FailingHostCallsAreLoggedWithTheirLineAndTheNextStepRuns) {
  auto component = MakeComponent();
  host().failing = {"GetClientFolder"};
  component->IClientComponent_Initialize(sharedHost(), false);
  EXPECT_EQ(DebugText(*component),
            "2026-12-08 오후 3:04:00 : 스타트\r\n"
            "2026-12-08 오후 3:04:00 : 에러라인 -> 110 , Automation error\r\n"
            "2026-12-08 오후 3:04:00 : 에러라인 -> 240 , Automation error\r\n");
  EXPECT_EQ(component->fields().hostRegistryKey, HostKey()) << "step 120 runs after 110 failed";

  host().failing = {"GetSpecVersion"};
  component->IClientComponent_Handle("REQ_NOTHING", "");
  EXPECT_NE(
      LogText(*component)
          .find("\t[err:CCDavIrizevez.SetOSVersion] line 20, -2147467259, Automation error\r\n"),
      std::string::npos)
      << LogText(*component);
  host().failing.clear();
  component->IClientComponent_Handle("REQ_NOTHING", "");
  EXPECT_TRUE(component->state().winXP) << "a version never received is asked for again";
}

TEST_F(ComponentTest, OnlyTheExactFlagOnePostsTheDocumentUrlNotice) {
  struct Case {
    const char* value;  // nullptr: no value
    bool posts;
  };
  for (const Case& c :
       {Case{nullptr, false}, Case{"1", true}, Case{"01", false}, Case{" 1", false}}) {
    if (c.value) SetComponentValue("EnableAutoDocumentURL", c.value);
    auto host = MakeHost();
    MakeComponent()->IClientComponent_Initialize(host, false);
    EXPECT_EQ(host->Count("PostNotice DavIrizevez APL_DOCURL 1"), c.posts ? 1 : 0)
        << "EnableAutoDocumentURL '" << (c.value ? c.value : "(absent)") << "'";
  }
  SetComponentValue("EnableAutoDocumentURL", "1");
  host().failing = {"PostNotice"};
  auto component = MakeComponent();
  component->IClientComponent_Initialize(sharedHost(), false);
  EXPECT_NE(DebugText(*component).find("에러라인 -> 310 , Automation error"), std::string::npos)
      << "a notice the host refuses is logged at its own line";
}

TEST_F(ComponentTest, TwoInstancesKeepSeparateState) {
  auto xpHost = MakeHost();
  auto win7Host = MakeHost();
  win7Host->specVersion = "2.6.1";
  auto xp = MakeComponent("A");
  auto win7 = MakeComponent("B");
  xp->IClientComponent_Initialize(xpHost, false);
  win7->IClientComponent_Initialize(win7Host, true);
  xp->IClientComponent_Handle("REQ_NOTHING", "");
  win7->IClientComponent_Handle("REQ_NOTHING", "");
  xp->IClientComponent_Terminate();
  win7->IClientComponent_Handle("REQ_NOTHING", "");

  EXPECT_TRUE(xp->state().winXP && !xp->state().win7);
  EXPECT_TRUE(win7->state().win7 && !win7->state().winXP)
      << "one instance's version must not fix the other's";
  EXPECT_NE(xp->state().debugMode, win7->state().debugMode);
  EXPECT_EQ(win7Host.use_count(), 2) << "terminating one instance leaves the other's host";
  EXPECT_EQ(LogText(*win7).find("DavIrizevez Terminate"), std::string::npos)
      << "each instance logs to its own component folder";
}

}  // namespace
}  // namespace dav::core::testing
