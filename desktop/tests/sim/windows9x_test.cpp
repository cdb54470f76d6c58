// The special icons on Windows 9x, which only the simulated PC can be (its platform_id
// setting): other registry places than on the NT family, and the shell notification that
// every change ends with.
#include <gtest/gtest.h>

#include "desktop/special_icons.h"
#include "fileutil/tests/folder_test_support.h"
#include "platform/shell.h"
#include "platform/sim/machine.h"

namespace dav::desktop {
namespace {

using platform::kHKeyClassesRoot;
using platform::kHKeyCurrentUser;

class Windows9xTest : public ::testing::Test, public dav::testing::FolderFixture {
 protected:
  void SetUp() override {
    machine().SetSetting("platform_id", "1");
    myDocuments = icons.GetSpecialFolderName(std::nullopt);
  }
  platform::sim::Machine& machine() { return dynamic_cast<platform::sim::Machine&>(platform()); }

  std::string storeKey = "Software\\Store\\DIManager";
  SpecialIcons icons{log(), storeKey};
  mdRegistry registry{log()};
  std::string myDocuments;
};

TEST_F(Windows9xTest, IconsAreShownAndHiddenThroughTheirOwnPlaces) {
  ASSERT_EQ(myDocuments, "내 문서") << "the name space object's name while its key exists";
  const auto notices = machine().Events().size();
  icons.ShowSpecialIcon({myDocuments, 0}, false, false);
  EXPECT_EQ(icons.GetSpecialFolderName(std::nullopt), "") << "hiding removed the key";
  icons.ShowSpecialIcon({"", 1}, true, false);
  EXPECT_EQ(icons.GetSpecialFolderName(std::nullopt), "내 문서") << "the empty name matched";

  icons.ShowSpecialIcon({"내 네트워크 환경", 0}, false, false);
  EXPECT_EQ(registry.ReadValue("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                               "Policies\\Explorer",
                               "NoNetHood", ""),
            "1");
  icons.ShowSpecialIcon({"내 컴퓨터", 0}, false, false);
  EXPECT_EQ(registry.ReadDWORD(kHKeyCurrentUser,
                               "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\NonEnum",
                               "{20D04FE0-3AEA-1069-A2D8-08002B30309D}", -7),
            -7)
      << "My Computer has no shell values on Windows 9x";

  icons.ShowIEIcon(false);
  const char* ieFolder = "CLSID\\{871C5380-42A0-1069-A2EA-08002B30309D}\\ShellFolder";
  EXPECT_EQ(registry.ReadDWORD(kHKeyClassesRoot, ieFolder, "Attributes", 0), 36 | 0x00100000)
      << "a missing value starts from 36";
  EXPECT_FALSE(icons.IEIconVisible());
  icons.ShowIEIcon(true);
  EXPECT_EQ(registry.ReadDWORD(kHKeyClassesRoot, ieFolder, "Attributes", 0), 36);

  IconList list;
  icons.LoadSpecialIcons(list, false);
  EXPECT_EQ(list, (IconList{{"내 컴퓨터", -1},
                            {"내 문서", 1},
                            {"내 네트워크 환경", 0},
                            {"휴지통", 1},
                            {"Internet Explorer", 1}}));
  std::size_t shellNotices = 0;
  for (const auto& event : machine().Events()) shellNotices += event.kind == "shell.notify";
  EXPECT_EQ(shellNotices, 4u) << machine().Events().size() - notices;
}

}  // namespace
}  // namespace dav::desktop
