// How the simulated PC reads Windows paths and listing patterns.
#include "platform/sim/windows_path.h"

#include <gtest/gtest.h>

namespace dav::platform::sim {
namespace {

TEST(WindowsPathTest, NormalisesAsWindowsDoes) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"c:/Program Files//App\\", {"Program Files", "App"}},
      {"C:\\a\\.\\b\\..\\c", {"a", "c"}},
      {"C:\\..\\..\\a", {"a"}},        // ".." stops at the root
      {"C:\\a.\\b. ", {"a", "b"}},     // trailing dots, and spaces of the last name
      {"C:\\a \\b", {"a ", "b"}},      // inner names keep trailing spaces
      {"C:\\a\\b .\\\\", {"a", "b"}},  // the last name is the last before the separators
  };
  for (const auto& [text, names] : cases) {
    WindowsPath path;
    ASSERT_EQ(ParseWindowsPath(text, false, &path), kErrorSuccess) << text;
    EXPECT_EQ(path.drive, 'C') << text;
    EXPECT_EQ(path.names, names) << text;
  }
}

TEST(WindowsPathTest, RefusesWhatWindowsRefuses) {
  const std::pair<const char*, Status> cases[] = {
      {"", kErrorPathNotFound},
      {"relative\\path", kErrorPathNotFound},
      {"\\rooted", kErrorPathNotFound},
      {"C:drive-relative", kErrorPathNotFound},
      {"\\\\server\\share\\x", kErrorBadNetPath},
      {"C:\\a\\...\\b", kErrorInvalidName},
      {"C:\\a:stream", kErrorInvalidName},
      {"C:\\tab\there", kErrorInvalidName},
      {"C:\\*.*", kErrorInvalidName},  // wildcards only in listing patterns
  };
  for (const auto& [text, status] : cases) {
    WindowsPath path;
    EXPECT_EQ(ParseWindowsPath(text, false, &path), status) << text;
  }
  WindowsPath path;
  EXPECT_EQ(ParseWindowsPath("C:\\d*r\\*.*", true, &path), kErrorInvalidName)
      << "a wildcard before the last name";
}

// A host name Windows could not name is no entry: bytes that are not UTF-8 among them.
TEST(WindowsPathTest, EntryNamesAreValidUtf8) {
  EXPECT_TRUE(IsValidEntryName("바탕 화면"));
  EXPECT_TRUE(IsValidEntryName("\xF0\x9F\x98\x80.lnk"));  // four bytes, beyond the BMP
  for (const char* name : {"\x80x", "a\xC1\x81", "\xE4\xB8", "\xED\xA0\x80", "x\xEB\x30\x94"}) {
    EXPECT_FALSE(IsValidEntryName(name)) << "a stray, overlong, cut-off, surrogate or broken "
                                            "sequence: "
                                         << name;
  }
  EXPECT_TRUE(MatchesPattern("*", "")) << "a folder's whole listing";
}

TEST(WindowsPathTest, PatternsMatchCharactersNotBytes) {
  EXPECT_TRUE(MatchesPattern("?", "가"));
  EXPECT_FALSE(MatchesPattern("??", "가"));
  EXPECT_TRUE(MatchesPattern("*.*.*", "noext")) << "each trailing \".*\" may match nothing";
  EXPECT_FALSE(MatchesPattern("file.txt?", "file.txt"));
  EXPECT_FALSE(MatchesPattern("*a*a*a*a*a*a*a*b", std::string(60, 'a')))
      << "and without a backtracking blow-up";
}

}  // namespace
}  // namespace dav::platform::sim
