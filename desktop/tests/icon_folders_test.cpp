// The folder icon machinery on either backend: what the folders report against the backup,
// and how applying a list deletes, backs up and restores icon files.
#include "desktop/icon_folders.h"

#include <gtest/gtest.h>

#include "desktop/tests/icon_list_order.h"
#include "fileutil/tests/folder_test_support.h"

namespace dav::desktop {
namespace {

using mdTypeDefine::UType_DIData;
using platform::kAttrHidden;

class IconFoldersTest : public ::testing::Test, public dav::testing::FolderFixture {
 protected:
  // A user desktop, an all-users desktop and a backup folder of mode 1.
  void SetUp() override {
    user = Folder("profile\\Desktop");
    common = Folder("all\\Desktop");
    backup = At("client\\Components\\DavIrizevez\\DIBackup");
    icons.SetIconFolders(user, common, backup, {"Internet Explorer.lnk"}, kModeDesktop);
  }

  IconList List(bool isProtected, int mode = kModeDesktop) {
    IconList list;
    icons.GetList(list, isProtected, mode);
    return list;
  }

  IconFolders icons{log()};
  std::string user;
  std::string common;
  std::string backup;
};

TEST_F(IconFoldersTest, SetIconFoldersMakesTheBackupFolderWithItsParents) {
  EXPECT_EQ(FolderFixture::List(backup), Names{});
  EXPECT_EQ(icons.Folders(kModeDesktop).userFolder, user);
  EXPECT_TRUE(icons.IsFilteredIcon("Internet Explorer.lnk", kModeDesktop));
  EXPECT_FALSE(icons.IsFilteredIcon("internet explorer.lnk", kModeDesktop)) << "exact names";
  EXPECT_FALSE(icons.IsFilteredIcon("Internet Explorer.lnk", kModeStartup)) << "per mode";
}

TEST_F(IconFoldersTest, ProtectedListsApproveOnlyWhatTheBackupHolds) {
  Write(user + "\\A.lnk", "a");
  Write(user + "\\B.lnk", "b");
  Write(user + "\\H.lnk", "h");
  Write(user + "\\Internet Explorer.lnk", "filtered");
  Folder("profile\\Desktop\\Games");
  Write(common + "\\C.lnk", "c");
  Write(backup + "\\A.lnk", "a");
  Write(backup + "\\H.lnk", "h", kAttrHidden);
  Write(backup + "\\Gone.lnk", "g");
  Folder("client\\Components\\DavIrizevez\\DIBackup\\Games");

  const IconList list = List(true);
  ASSERT_EQ(list.size(), 6u);
  EXPECT_EQ(list[4], (UType_DIData{"C.lnk", 0})) << "the all-users desktop after the user's";
  EXPECT_EQ(list[5], (UType_DIData{"Gone.lnk", 1})) << "approved icons that went come last";
  EXPECT_EQ(
      SortedFrom(list),
      (IconList{
          {"A.lnk", 1}, {"B.lnk", 0}, {"C.lnk", 0}, {"Games", 1}, {"Gone.lnk", 1}, {"H.lnk", 0}}))
      << "a hidden backup copy approves nothing";
  EXPECT_EQ(SortedFrom(List(false)),
            (IconList{{"A.lnk", 1}, {"B.lnk", 1}, {"C.lnk", 1}, {"Games", 1}, {"H.lnk", 1}}))
      << "without protection every icon is approved and the backup is not looked at";
  EXPECT_NE(DebugText().find("사용자의 바탕화면 -> " + user), std::string::npos);
}

TEST_F(IconFoldersTest, ApplyDeletesUnwantedIconsEverywhereAndBacksUpWantedOnes) {
  Write(user + "\\A.lnk", "new a");
  Write(user + "\\B.lnk", "b");
  Write(common + "\\B.lnk", "b", platform::kAttrReadOnly);
  Write(user + "\\Keep.lnk", "k");
  Write(backup + "\\B.lnk", "b");
  Write(backup + "\\Keep.lnk", "old k");

  icons.Apply({{"A.lnk", 1}, {"Keep.lnk", 1}, {"Other.lnk", 0}}, true, kModeDesktop);
  EXPECT_EQ(FolderFixture::List(user), (Names{"A.lnk", "Keep.lnk"}));
  EXPECT_EQ(FolderFixture::List(common), Names{});
  EXPECT_EQ(FolderFixture::List(backup), (Names{"A.lnk", "Keep.lnk"}));
  EXPECT_EQ(Read(backup + "\\Keep.lnk"), "old k") << "an existing backup copy is kept";
  EXPECT_EQ(Read(backup + "\\A.lnk"), "new a");
}

TEST_F(IconFoldersTest, ApplyRestoresWantedIconsFromTheBackup) {
  Write(backup + "\\A.lnk", "a");
  Write(backup + "\\InCommon.lnk", "c");
  Write(common + "\\InCommon.lnk", "c");
  icons.Apply({{"A.lnk", 1}, {"InCommon.lnk", 1}}, true, kModeDesktop);
  EXPECT_EQ(FolderFixture::List(user), Names{"A.lnk"})
      << "copied to the user's desktop; one on the all-users desktop is there already";
  EXPECT_EQ(Read(user + "\\A.lnk"), "a");

  // A set without a user folder restores into the all-users folder.
  icons.SetIconFolders("", common, backup, {}, kModeDesktop);
  icons.Apply({{"A.lnk", 1}, {"InCommon.lnk", 1}}, true, kModeDesktop);
  EXPECT_EQ(FolderFixture::List(common), (Names{"A.lnk", "InCommon.lnk"}));
}

TEST_F(IconFoldersTest, UnprotectedApplyEmptiesTheBackupButKeepsTheFolder) {
  Write(user + "\\A.lnk", "a");
  Write(backup + "\\A.lnk", "a");
  Write(backup + "\\Gone.lnk", "g");
  icons.Apply({{"A.lnk", 1}, {"Gone.lnk", 1}}, false, kModeDesktop);
  EXPECT_EQ(FolderFixture::List(user), (Names{"A.lnk", "Gone.lnk"}))
      << "restored before the backup is emptied";
  EXPECT_EQ(FolderFixture::List(backup), Names{});
}

TEST_F(IconFoldersTest, StartupFoldersNeverListOrDeleteDesktopIni) {
  const std::string startup = Folder("profile\\Startup");
  const std::string spBackup = At("client\\Components\\StartProgramManager\\SPBackup");
  icons.SetIconFolders(startup, "", spBackup, {"desktop.ini"}, kModeStartup);
  Write(startup + "\\desktop.ini", "[.ShellClassInfo]", kAttrHidden);
  Write(startup + "\\Tool.lnk", "t");
  Write(user + "\\Desktop.lnk", "d");

  EXPECT_EQ(List(true, kModeStartup), (IconList{{"Tool.lnk", 0}}));
  icons.Apply({}, true, kModeStartup);
  EXPECT_EQ(FolderFixture::List(startup), Names{"desktop.ini"});
  EXPECT_EQ(FolderFixture::List(user), Names{"Desktop.lnk"}) << "the other mode's folders";
}

TEST_F(IconFoldersTest, NamesThatLeaveTheirFolderTouchNothing) {
  Write(At("client\\Components\\DavIrizevez\\evil.lnk"), "evil");
  Write(backup + "\\ok.lnk", "ok");
  icons.Apply({{"..\\evil.lnk", 1},
               {"../evil.lnk", 1},
               {"C:evil.lnk", 1},
               {"..", 1},
               {"", 1},
               {"ok.lnk", 1}},
              true, kModeDesktop);
  EXPECT_EQ(FolderFixture::List(At("profile")), Names{"Desktop"})
      << "nothing was copied next to the desktop";
  EXPECT_EQ(FolderFixture::List(user), Names{"ok.lnk"});
  EXPECT_EQ(Count(LogText(), "[skip:CCDavIrizevez.Apply]"), 5u) << LogText();
}

}  // namespace
}  // namespace dav::desktop
