// System facts and the shell's special folders as Windows reports them. The cases hold on
// any NT-family Windows, so they assume no particular language or user.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/code_page.h"
#include "platform/tests/test_environment.h"

namespace dav::platform {
namespace {

bool IsAbsoluteWindowsPath(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         path[2] == '\\';
}

class SystemShellContract : public ::testing::Test {
 protected:
  void SetUp() override { env_ = testing::MakeTestEnvironment(); }
  Platform& pc() { return env_->platform(); }
  std::unique_ptr<testing::TestEnvironment> env_;
};

TEST_F(SystemShellContract, SystemFacts) {
  const OsVersion version = pc().system().Version();
  EXPECT_EQ(version.platformId, kPlatformWin32NT) << "GetVersionExA on the NT family";
  EXPECT_GE(version.major, 5u) << "Windows 2000 or later";
  EXPECT_TRUE(IsCodePageSupported(pc().system().AnsiCodePage()))
      << "GetACP " << pc().system().AnsiCodePage() << " must be convertible";
  const std::string system = pc().system().SystemDirectory();
  EXPECT_TRUE(IsAbsoluteWindowsPath(system)) << "GetSystemDirectoryA gave '" << system << "'";
  EXPECT_NE(pc().files().GetAttributes(system) & kAttrDirectory, 0u)
      << "the system directory exists as a folder";
  EXPECT_FALSE(pc().system().UserName().empty()) << "GetUserNameA";
  EXPECT_FALSE(pc().system().Locale().shortDate.empty()) << "LOCALE_SSHORTDATE";
}

TEST_F(SystemShellContract, FileSystemFoldersHaveExistingPaths) {
  for (const int csidl :
       {kCsidlDesktopDirectory, kCsidlPrograms, kCsidlStartMenu, kCsidlStartup,
        kCsidlCommonPrograms, kCsidlCommonStartup, kCsidlWindows, kCsidlProgramFiles,
        kCsidlFavorites, kCsidlRecent, kCsidlFonts, kCsidlLocalAppData, kCsidlCommonAppData}) {
    std::string path;
    ASSERT_EQ(pc().shell().SpecialFolderPath(csidl, &path), kErrorSuccess) << "CSIDL " << csidl;
    EXPECT_TRUE(IsAbsoluteWindowsPath(path)) << "CSIDL " << csidl << " gave '" << path << "'";
    const std::uint32_t attributes = pc().files().GetAttributes(path);
    EXPECT_TRUE(attributes != kInvalidAttributes && (attributes & kAttrDirectory) != 0)
        << "CSIDL " << csidl << " folder '" << path << "' must exist";
  }
}

TEST_F(SystemShellContract, VirtualFoldersHaveNoPathButADisplayName) {
  for (const int csidl : {kCsidlDrives, kCsidlBitBucket, kCsidlNetwork, kCsidlControls,
                          kCsidlPrinters, kCsidlInternet}) {
    std::string path = "unchanged";
    EXPECT_EQ(pc().shell().SpecialFolderPath(csidl, &path), kErrorSuccess)
        << "SHGetSpecialFolderLocation of virtual CSIDL " << csidl;
    EXPECT_EQ(path, "") << "SHGetPathFromIDListA has no path for virtual CSIDL " << csidl;
    std::string name;
    EXPECT_EQ(pc().shell().SpecialFolderDisplayName(csidl, &name), kErrorSuccess);
    EXPECT_FALSE(name.empty()) << "display name of CSIDL " << csidl;
  }
  std::string path;
  std::string name;
  EXPECT_EQ(pc().shell().SpecialFolderPath(0x7f, &path), kErrorInvalidParameter)
      << "SHGetSpecialFolderLocation of an unknown CSIDL fails with E_INVALIDARG";
  EXPECT_EQ(pc().shell().SpecialFolderDisplayName(0x7f, &name), kErrorInvalidParameter)
      << "SHGetSpecialFolderLocation of an unknown CSIDL fails with E_INVALIDARG";
}

TEST_F(SystemShellContract, ParsingNamesOfShellObjects) {
  struct Case {
    const char* parsingName;
    int csidl;
  };
  for (const Case& c : {Case{"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", kCsidlDrives},
                        Case{"::{20d04fe0-3aea-1069-a2d8-08002b30309d}", kCsidlDrives},
                        Case{"::{645FF040-5081-101B-9F08-00AA002F954E}", kCsidlBitBucket},
                        Case{"::{208D2C60-3AEA-1069-A2D7-08002B30309D}", kCsidlNetwork},
                        Case{"::{871C5380-42A0-1069-A2EA-08002B30309D}", kCsidlInternet}}) {
    std::string parsed;
    std::string expected;
    ASSERT_EQ(pc().shell().ParsingNameDisplayName(c.parsingName, &parsed), kErrorSuccess)
        << "ParseDisplayName " << c.parsingName;
    ASSERT_EQ(pc().shell().SpecialFolderDisplayName(c.csidl, &expected), kErrorSuccess);
    EXPECT_EQ(parsed, expected) << c.parsingName << " names the same object as CSIDL " << c.csidl;
  }
  std::string name;
  EXPECT_EQ(pc().shell().ParsingNameDisplayName("::{450d8fba-ad25-11d0-98a8-0800361b1103}", &name),
            kErrorSuccess)
      << "My Documents has a parsing name";
  EXPECT_FALSE(name.empty());
}

}  // namespace
}  // namespace dav::platform
