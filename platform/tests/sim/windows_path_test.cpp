// How the simulated PC reads Windows paths and listing patterns.
#include "platform/sim/windows_path.h"

#include <gtest/gtest.h>

namespace dav::platform::sim {
namespace {

struct ParseCase {
  const char* text;
  char drive;
  std::vector<std::string> names;
  bool trailingSeparator;
};

TEST(WindowsPathTest, NormalisesAsWindowsDoes) {
  const ParseCase cases[] = {
      {"C:\\", 'C', {}, false},
      {"c:/Program Files/App", 'C', {"Program Files", "App"}, false},
      {"D:\\a\\\\b\\", 'D', {"a", "b"}, true},
      {"C:\\a\\.\\b\\..\\c", 'C', {"a", "c"}, false},
      {"C:\\..\\..\\a", 'C', {"a"}, false},  // ".." stops at the root
      {"C:\\a\\..", 'C', {}, false},
      {"C:\\a.\\b. ", 'C', {"a", "b"}, false},  // trailing dots, and spaces of the last name
      {"C:\\a \\b", 'C', {"a ", "b"}, false},   // inner names keep trailing spaces
      {"C:\\바탕 화면\\x", 'C', {"바탕 화면", "x"}, false},
  };
  for (const ParseCase& c : cases) {
    WindowsPath path;
    ASSERT_EQ(ParseWindowsPath(c.text, false, &path), kErrorSuccess) << c.text;
    EXPECT_EQ(path.drive, c.drive) << c.text;
    EXPECT_EQ(path.names, c.names) << c.text;
    EXPECT_EQ(path.trailingSeparator, c.trailingSeparator) << c.text;
  }
}

TEST(WindowsPathTest, RefusesWhatWindowsRefuses) {
  const std::pair<const char*, Status> cases[] = {
      {"", kErrorPathNotFound},
      {"relative\\path", kErrorPathNotFound},
      {"\\rooted", kErrorPathNotFound},
      {"C:drive-relative", kErrorPathNotFound},
      {"\\\\server\\share\\x", kErrorBadNetPath},
      {"//server/share", kErrorBadNetPath},
      {"C:\\a\\...\\b", kErrorInvalidName},
      {"C:\\a<b", kErrorInvalidName},
      {"C:\\a:stream", kErrorInvalidName},
      {"C:\\a|b", kErrorInvalidName},
      {"C:\\a\"b", kErrorInvalidName},
      {"C:\\tab\there", kErrorInvalidName},
      {"C:\\*.*", kErrorInvalidName},  // wildcards only in listing patterns
  };
  for (const auto& [text, status] : cases) {
    WindowsPath path;
    EXPECT_EQ(ParseWindowsPath(text, false, &path), status) << text;
  }
  WindowsPath path;
  EXPECT_EQ(ParseWindowsPath("C:\\dir\\*.*", true, &path), kErrorSuccess);
  EXPECT_EQ(ParseWindowsPath("C:\\d*r\\*.*", true, &path), kErrorInvalidName)
      << "a wildcard before the last name";
}

TEST(WindowsPathTest, MatchesPatternsAsFindFirstFileDoes) {
  const std::string manyAs(60, 'a');
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"*", "anything", true},
      {"*.*", "noext", true},
      {"*.*", "a.b.c", true},
      {"*.*.*", "noext", true},
      {"readme.*", "README", true},
      {"*.TXT", "file.txt", true},
      {"?ile.txt", "file.txt", true},
      {"?", "가", true},  // "?" is one character, not a byte
      {"??", "가", false},
      {"*.t", "file.txt", false},
      {"file.txt?", "file.txt", false},
      {"a*c", "a.b.c", true},
      {"*.?", "..", true},
      {"*b*", "abc.txt", true},
      {"바탕*", "바탕 화면", true},
      {"*a*a*a*a*a*a*a*b", manyAs.c_str(), false},  // no backtracking blow-up
  };
  for (const auto& [pattern, name, matches] : cases) {
    EXPECT_EQ(MatchesPattern(pattern, name), matches) << pattern << " against " << name;
  }
}

TEST(WindowsPathTest, NamesCompareWithoutCase) {
  EXPECT_TRUE(NamesEqual("Program Files", "PROGRAM FILES"));
  EXPECT_FALSE(NamesEqual("a", "ab"));
  EXPECT_TRUE(NameLess("apple", "Banana"));
  EXPECT_TRUE(NameLess("B", "b")) << "names equal but for case still have one order";
  EXPECT_FALSE(IsValidEntryName("trailing."));
  EXPECT_FALSE(IsValidEntryName("colon:name"));
  EXPECT_FALSE(IsValidEntryName("\xFF\xFE"));
  EXPECT_TRUE(IsValidEntryName("바탕 화면.lnk"));
}

}  // namespace
}  // namespace dav::platform::sim
