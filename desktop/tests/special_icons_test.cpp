// The special desktop icons on an NT-family system (either backend): the shell values each
// icon writes, the store that protection reads, and the filtering list from the client's
// ini file.
#include "desktop/special_icons.h"

#include <gtest/gtest.h>

#include "fileutil/tests/folder_test_support.h"
#include "platform/shell.h"
#include "util/mod_main.h"

namespace dav::desktop {
namespace {

using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

constexpr const char* kMyComputer = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr const char* kInternetExplorer = "{871C5380-42A0-1069-A2EA-08002B30309D}";
constexpr const char* kNonEnum = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\NonEnum";
constexpr const char* kHideIcons =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\";
constexpr const char* kMyComputerFolder =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\"
    "{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\ShellFolder";
constexpr const char* kPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr std::int32_t kMissing = 12345;

class SpecialIconsTest : public ::testing::Test, public dav::testing::FolderFixture {
 protected:
  void TearDown() override {
    platform().registry().DeleteKey(kHKeyLocalMachine, storeKey);
    platform().registry().DeleteKey(kHKeyLocalMachine, scratchKey());
    files().Delete(IniFile());
  }

  std::int32_t Dword(platform::KeyHandle hive, const std::string& key, const std::string& name) {
    return registry.ReadDWORD(hive, key, name, kMissing);
  }
  std::string IniFile() { return platform().system().SystemDirectory() + "\\" + kClientIniFile; }
  void Ini(const std::string& section, const std::string& key, const std::string& value) {
    ASSERT_TRUE(modMain::WriteIniString(platform(), IniFile(), section, key, value));
  }
  std::string Name(int csidl) { return icons.GetSpecialFolderName(csidl); }

  std::string storeKey = scratchKey() + "\\DIManager";
  SpecialIcons icons{log(), storeKey};
  mdRegistry registry{log()};
};

TEST_F(SpecialIconsTest, HidingAndShowingMyComputerWritesTheShellValuesAndTheStore) {
  const std::string myComputer = Name(platform::kCsidlDrives);
  ASSERT_FALSE(myComputer.empty());
  icons.ShowSpecialIcon({myComputer, 0}, false, true);
  EXPECT_EQ(Dword(kHKeyCurrentUser, kNonEnum, kMyComputer), 1);
  EXPECT_EQ(Dword(kHKeyCurrentUser, std::string(kHideIcons) + "NewStartPanel", kMyComputer), 1);
  EXPECT_EQ(static_cast<std::uint32_t>(Dword(kHKeyCurrentUser, kMyComputerFolder, "Attributes")),
            0xF0500174u);
  EXPECT_EQ(Dword(kHKeyLocalMachine, storeKey, "MyCom"), 0);

  icons.ShowSpecialIcon({myComputer, 1}, true, false);
  EXPECT_EQ(Dword(kHKeyCurrentUser, kNonEnum, kMyComputer), 0);
  EXPECT_EQ(Dword(kHKeyCurrentUser, std::string(kHideIcons) + "NewStartPanel", kMyComputer), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(Dword(kHKeyCurrentUser, kMyComputerFolder, "Attributes")),
            0xF0400174u);
  EXPECT_EQ(Dword(kHKeyLocalMachine, storeKey, "MyCom"), 0) << "unprotected: the store stays";

  IconList list;
  icons.LoadSpecialIcons(list, false);
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0], (mdTypeDefine::UType_DIData{myComputer, 1})) << "the shell says shown";
  list.clear();
  icons.LoadSpecialIcons(list, true);
  EXPECT_EQ(list[0].diFlag, 0) << "protected: the stored choice, whatever the shell says";

  icons.ShowSpecialIcon({"Tool.lnk", 0}, false, true);
  EXPECT_EQ(Dword(kHKeyCurrentUser, kNonEnum, kMyComputer), 0) << "another name changes nothing";
}

TEST_F(SpecialIconsTest, ProtectedListsReportTheStoreAndAMissingValueAsShown) {
  const std::string network = Name(platform::kCsidlNetwork);
  const std::string recycleBin = Name(platform::kCsidlBitBucket);
  icons.ShowSpecialIcon({network, 0}, false, true);
  icons.ShowSpecialIcon({recycleBin, 0}, false, true);
  EXPECT_EQ(registry.ReadValue(std::string("HKEY_CURRENT_USER\\") + kHideIcons + "ClassicStartMenu",
                               "{208D2C60-3AEA-1069-A2D7-08002B30309D}", "-"),
            "1");
  IconList list;
  icons.LoadSpecialIcons(list, false);
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[2], (mdTypeDefine::UType_DIData{network, 0}));
  EXPECT_EQ(list[3], (mdTypeDefine::UType_DIData{recycleBin, 0}))
      << "the Recycle Bin's name space key went";

  icons.ShowSpecialIcon({recycleBin, 1}, true, false);  // the shell shows it, the store does not
  list.clear();
  icons.LoadSpecialIcons(list, false);
  EXPECT_EQ(list[3].diFlag, 1) << "the Recycle Bin's name space key is back";
  list.clear();
  icons.LoadSpecialIcons(list, true);
  EXPECT_EQ(list, (IconList{{Name(platform::kCsidlDrives), 1},
                            {Name(platform::kCsidlPersonal), 1},
                            {network, 0},
                            {recycleBin, 0},
                            {"Internet Explorer", 1}}));
}

TEST_F(SpecialIconsTest, InternetExplorerLiftsThePolicyInBothHives) {
  for (platform::KeyHandle hive : {kHKeyCurrentUser, kHKeyLocalMachine}) {
    registry.WriteDWORD(hive, kPolicies, "NoInternetIcon", 1);
  }
  icons.ShowSpecialIcon({"Internet Explorer", 0}, false, true);
  EXPECT_FALSE(icons.IEIconVisible());
  EXPECT_EQ(Dword(kHKeyCurrentUser, std::string(kHideIcons) + "NewStartPanel", kInternetExplorer),
            1);
  EXPECT_EQ(Dword(kHKeyLocalMachine, storeKey, "IE"), 0);
  icons.ShowIEIcon(true);
  EXPECT_TRUE(icons.IEIconVisible());
  EXPECT_EQ(Dword(kHKeyCurrentUser, kPolicies, "NoInternetIcon"), 0);
  EXPECT_EQ(Dword(kHKeyLocalMachine, kPolicies, "NoInternetIcon"), 0);
}

// Each shell value alone decides: a missing ClassicStartMenu value counts as shown, and the
// NonEnum policy hides My Computer even when its other two values say shown.
TEST_F(SpecialIconsTest, EachShellValueAloneDecidesWhetherAnIconIsShown) {
  const std::string classic = std::string(kHideIcons) + "ClassicStartMenu";
  icons.ShowIEIcon(false);
  registry.DeleteValue(kHKeyCurrentUser, classic, kInternetExplorer);
  EXPECT_TRUE(icons.IEIconVisible()) << "no ClassicStartMenu value: Internet Explorer is shown";
  registry.WriteDWORD(kHKeyCurrentUser, classic, kInternetExplorer, 1);
  EXPECT_FALSE(icons.IEIconVisible());

  const std::string myComputer = Name(platform::kCsidlDrives);
  icons.ShowSpecialIcon({myComputer, 1}, true, false);
  registry.WriteDWORD(kHKeyCurrentUser, kNonEnum, kMyComputer, 1);
  IconList list;
  icons.LoadSpecialIcons(list, false);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list[0], (mdTypeDefine::UType_DIData{myComputer, 0})) << "hidden by NonEnum alone";
  registry.WriteDWORD(kHKeyCurrentUser, kNonEnum, kMyComputer, 0);
  list.clear();
  icons.LoadSpecialIcons(list, false);
  EXPECT_EQ(list[0].diFlag, 1);
}

TEST_F(SpecialIconsTest, TheClientIniNamesTheIconsNeverTouched) {
  EXPECT_EQ(icons.LoadFilteringList(), std::vector<std::string>{}) << "no ini file";
  EXPECT_EQ(icons.SpecialIconCount(), 5);

  Ini("settings", "qrllnk", "1");
  Ini("settings", "qrlieex", "lnk");
  Ini("urlname", "member0", " Shop ");
  Ini("urlname", "member1", "News");
  Ini("urlname", "member3", "AfterAGap");
  EXPECT_EQ(icons.LoadFilteringList(),
            (std::vector<std::string>{"Internet Explorer.lnk", "Shop.url", "News.url"}));
  EXPECT_EQ(icons.SpecialIconCount(), 4);
  IconList list;
  icons.LoadSpecialIcons(list, false);
  ASSERT_EQ(list.size(), 4u) << "no Internet Explorer entry";
  EXPECT_NE(list.back().diFileName, "Internet Explorer");

  Ini("settings", "qrllnk", "0");
  Ini("urlname", "member0", "");
  EXPECT_EQ(icons.LoadFilteringList(), std::vector<std::string>{}) << "member0 empty: none";
  EXPECT_EQ(icons.SpecialIconCount(), 5);
}

}  // namespace
}  // namespace dav::desktop
