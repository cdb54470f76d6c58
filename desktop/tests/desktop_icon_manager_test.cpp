// The desktop list as a whole on either backend: the special icons at its head, the icon
// files after them, and auto recover putting an approved desktop back.
#include "desktop/desktop_icon_manager.h"

#include <gtest/gtest.h>

#include "desktop/tests/icon_list_order.h"
#include "fileutil/tests/folder_test_support.h"
#include "platform/shell.h"

namespace dav::desktop {
namespace {

using platform::kHKeyLocalMachine;

class DesktopIconManagerTest : public ::testing::Test, public dav::testing::FolderFixture {
 protected:
  void SetUp() override {
    user = Folder("profile\\Desktop");
    backup = At("DIBackup");
    icons.SetIconFolders(user, "", backup, icons.LoadFilteringList(), kModeDesktop);
    for (int csidl : {platform::kCsidlDrives, platform::kCsidlPersonal, platform::kCsidlNetwork,
                      platform::kCsidlBitBucket}) {
      specials.push_back({icons.GetSpecialFolderName(csidl), 1});
    }
    specials.push_back({"Internet Explorer", 1});
  }
  void TearDown() override {
    platform().registry().DeleteKey(kHKeyLocalMachine, storeKey);
    platform().registry().DeleteKey(kHKeyLocalMachine, scratchKey());
  }

  IconList Produced(bool isProtected) {
    IconList list;
    icons.GetDesktopIconList(list, isProtected, kModeDesktop);
    return list;
  }
  std::int32_t Stored(const char* name) {
    return mdRegistry(log()).ReadDWORD(kHKeyLocalMachine, storeKey, name, -7);
  }

  std::string storeKey = scratchKey() + "\\DIManager";
  DesktopIconManager icons{log(), storeKey};
  std::string user;
  std::string backup;
  IconList specials;
};

TEST_F(DesktopIconManagerTest, ListsShorterThanTheSpecialIconsChangeNothing) {
  Write(user + "\\A.lnk", "a");
  Write(backup + "\\Old.lnk", "o");
  IconList shortList(specials.begin(), specials.end() - 1);
  icons.ApplyDesktopIconList(false, shortList, kModeDesktop);
  EXPECT_EQ(Stored("MyCom"), -7) << "no special icon was set";
  EXPECT_EQ(List(backup), Names{"Old.lnk"}) << "no file was applied";
  EXPECT_FALSE(icons.EnableAutoRecover());

  // Exactly k entries set the special icons and leave every file alone, even unprotected.
  IconList exact = specials;
  exact[0].diFlag = 0;
  icons.ApplyDesktopIconList(true, exact, kModeDesktop);
  EXPECT_EQ(Stored("MyCom"), 0);
  EXPECT_EQ(Stored("IE"), 1);
  EXPECT_TRUE(icons.EnableAutoRecover());
  icons.ApplyDesktopIconList(false, specials, kModeDesktop);
  EXPECT_FALSE(icons.EnableAutoRecover());
  EXPECT_EQ(List(user), Names{"A.lnk"});
  EXPECT_EQ(List(backup), Names{"Old.lnk"}) << "the backup is not emptied";
}

TEST_F(DesktopIconManagerTest, AutoRecoverPutsTheApprovedDesktopBack) {
  Write(user + "\\A.lnk", "a");
  Write(user + "\\B.lnk", "b");
  IconList approved = specials;
  approved.push_back({"A.lnk", 1});
  approved.push_back({"B.lnk", 1});
  icons.ApplyDesktopIconList(true, approved, kModeDesktop);
  EXPECT_EQ(List(backup), (Names{"A.lnk", "B.lnk"}));
  EXPECT_EQ(SortedFrom(Produced(true), 5), approved) << "the PC reads back as approved";

  // The user adds one icon and deletes an approved one; the next start recovers.
  Write(user + "\\C.lnk", "c");
  ASSERT_EQ(files().Delete(user + "\\A.lnk"), platform::kErrorSuccess);
  IconList seen = specials;
  seen.push_back({"B.lnk", 1});
  seen.push_back({"C.lnk", 0});
  seen.push_back({"A.lnk", 1});
  EXPECT_EQ(SortedFrom(Produced(true), 5), SortedFrom(seen, 5))
      << "the added icon is not approved, the deleted one comes from the backup";
  icons.RecoverDesktopIcon();
  EXPECT_EQ(List(user), (Names{"A.lnk", "B.lnk"}));
  EXPECT_EQ(Read(user + "\\A.lnk"), "a");
  EXPECT_NE(LogText().find("### DeleteFileAndFolderForce " + user + "\\C.lnk"), std::string::npos);
}

TEST_F(DesktopIconManagerTest, AutoRecoverIsTheStoresExactOne) {
  EXPECT_FALSE(icons.EnableAutoRecover());
  icons.EnableAutoRecover(true);
  EXPECT_EQ(Stored("EnableAutoRecover"), 1) << "written as a DWORD";
  EXPECT_TRUE(icons.EnableAutoRecover());
  mdRegistry(log()).WriteValue("HKEY_LOCAL_MACHINE\\" + storeKey, "EnableAutoRecover", "01", 1);
  EXPECT_FALSE(icons.EnableAutoRecover()) << "only the text 1 turns it on";
}

TEST_F(DesktopIconManagerTest, AnApprovedIconTheBackupCannotHoldOutlivesAutoRecover) {
  // desktop.ini is hidden and system: approved, it cannot be copied into the backup.
  Write(user + "\\desktop.ini", "[.ShellClassInfo]", platform::kAttrHidden | platform::kAttrSystem);
  Write(user + "\\A.lnk", "a");
  IconList approved = specials;
  approved.push_back({"desktop.ini", 1});
  approved.push_back({"A.lnk", 1});
  icons.ApplyDesktopIconList(true, approved, kModeDesktop);
  EXPECT_EQ(List(backup), Names{"A.lnk"});
  const std::string kept = "[keep:CCDavIrizevez.Apply] \"desktop.ini\" has no copy in the backup";
  std::string log = LogText();
  const std::size_t said = log.find(kept);
  EXPECT_NE(said, std::string::npos) << log;
  EXPECT_EQ(log.find(kept, said + 1), std::string::npos) << "said once: " << log;

  // At the next start an added icon goes; the approved one that has no copy stays.
  Write(user + "\\B.lnk", "b");
  icons.RecoverDesktopIcon();
  EXPECT_EQ(List(user), (Names{"A.lnk", "desktop.ini"}));
  EXPECT_EQ(Read(user + "\\desktop.ini"), "[.ShellClassInfo]");

  // A list that leaves it out still deletes it.
  IconList without = specials;
  without.push_back({"A.lnk", 1});
  without.push_back({"desktop.ini", 0});
  icons.ApplyDesktopIconList(true, without, kModeDesktop);
  EXPECT_EQ(List(user), Names{"A.lnk"});
}

}  // namespace
}  // namespace dav::desktop
