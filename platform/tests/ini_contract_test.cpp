// Ini files as GetPrivateProfileStringA and WritePrivateProfileStringA treat them: the
// file's lines, case and blanks, quotes, defaults, the caller's buffer and the ANSI code
// page the file is kept in.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/tests/test_environment.h"

namespace dav::platform {
namespace {

class IniContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = testing::MakeTestEnvironment();
    file_ = env_->scratchFolder() + "\\test.ini";
  }

  IniFiles& ini() { return env_->platform().ini(); }

  std::string Read(std::string_view section, std::string_view key,
                   std::string_view defaultValue = "(default)", std::size_t buffer = 500) {
    return ini().ReadString(file_, section, key, defaultValue, buffer);
  }
  bool Write(std::string_view section, std::optional<std::string_view> key,
             std::optional<std::string_view> value) {
    return ini().WriteString(file_, section, key, value);
  }

  void Store(const std::string& bytes) {
    ASSERT_EQ(env_->platform().files().WriteAll(file_, bytes), kErrorSuccess);
  }
  std::string Stored() {
    std::string bytes;
    EXPECT_EQ(env_->platform().files().ReadAll(file_, &bytes), kErrorSuccess);
    return bytes;
  }

  std::unique_ptr<testing::TestEnvironment> env_;
  std::string file_;
};

TEST_F(IniContractTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Read("setting", "0"), "(default)") << "no file";
  EXPECT_EQ(Read("setting", "0", "  blanks  "), "  blanks") << "the default loses trailing blanks";
  Store("[setting]\r\n0=a\r\nnovalue\r\nempty=\r\n");
  EXPECT_EQ(Read("other", "0"), "(default)") << "no section";
  EXPECT_EQ(Read("setting", "1"), "(default)") << "no key";
  EXPECT_EQ(Read("setting", "novalue"), "(default)") << "a line without \"=\" holds no key";
  EXPECT_EQ(Read("setting", "empty"), "") << "an empty value is a value, not the default";
}

TEST_F(IniContractTest, WritingCreatesSectionsAndKeyLines) {
  ASSERT_TRUE(Write("Sec", "Key", "Value"));
  EXPECT_EQ(Stored(), "[Sec]\r\nKey=Value\r\n") << "a new file: a section line, a key line, CR LF";
  ASSERT_TRUE(Write("Sec", "Key2", "v2"));
  ASSERT_TRUE(Write("Other", "a", "1"));
  EXPECT_EQ(Stored(), "[Sec]\r\nKey=Value\r\nKey2=v2\r\n[Other]\r\na=1\r\n")
      << "a new key goes to the end of its section, a new section to the end of the file";
  Store("[Sec]\r\nKey=theirs\r\n");
  EXPECT_EQ(Read("Sec", "Key"), "theirs") << "the file is read again on every call";
  EXPECT_FALSE(ini().WriteString(env_->scratchFolder() + "\\missing\\x.ini", "s", "k", "v"))
      << "a file in a folder that does not exist cannot be written";
}

TEST_F(IniContractTest, ABareFileNameLiesInTheWindowsFolder) {
  std::string windows;
  ASSERT_EQ(env_->platform().shell().SpecialFolderPath(kCsidlWindows, &windows), kErrorSuccess);
  const std::string name = "DavContractTest.ini";
  const std::string full = windows + "\\" + name;
  FileSystem& files = env_->platform().files();
  files.Delete(full);  // left over from an earlier run that stopped half-way
  ASSERT_TRUE(ini().WriteString(name, "s", "k", "bare"));
  std::string bytes;
  EXPECT_EQ(files.ReadAll(full, &bytes), kErrorSuccess)
      << "WritePrivateProfileStringA puts a file given by its bare name in the Windows folder";
  EXPECT_EQ(ini().ReadString(name, "s", "k", "", 50), "bare");
  EXPECT_EQ(ini().ReadString(full, "s", "k", "", 50), "bare") << "the same file by its full path";
  EXPECT_EQ(files.Delete(full), kErrorSuccess);
}

TEST_F(IniContractTest, CaseBlanksQuotesAndDuplicates) {
  Store(
      "[ Settings ]\r\n  Path  =  C:\\Data  \r\n\tTab\t=\t\"quoted\"\t\r\nsingle='s'\r\n"
      "half=\"half\r\ninner=a \"b\" c\r\ndup=first\r\ndup=second\r\n[settings]\r\ndup=third\r\n");
  EXPECT_EQ(Read("SETTINGS", "path"), "C:\\Data") << "case and blanks around names ignored";
  EXPECT_EQ(Read("settings", "TAB"), "quoted") << "tabs are blanks; a pair of quotes goes";
  EXPECT_EQ(Read("settings", "single"), "s");
  EXPECT_EQ(Read("settings", "half"), "\"half") << "an unmatched quote stays";
  EXPECT_EQ(Read("settings", "inner"), "a \"b\" c") << "quotes inside the value stay";
  EXPECT_EQ(Read("settings", "dup"), "first") << "the first section and key win";

  ASSERT_TRUE(Write("settings", "PATH", "D:\\Docs"));
  ASSERT_TRUE(Write("settings", "DUP", "changed"));
  EXPECT_EQ(Read("Settings", "Path"), "D:\\Docs");
  EXPECT_EQ(Read("Settings", "dup"), "changed") << "the first key is the one written";
  EXPECT_EQ(Stored().find("C:\\Data"), std::string::npos) << "replaced, not added: " << Stored();
}

TEST_F(IniContractTest, DeletingKeysAndSections) {
  Store("[value]\r\n0=a\r\n1=b\r\n2=c\r\n[setting]\r\n0=x\r\n");
  ASSERT_TRUE(Write("value", "1", std::nullopt));
  EXPECT_EQ(Read("value", "1"), "(default)") << "a missing value deletes the key";
  EXPECT_EQ(Read("value", "2"), "c");
  ASSERT_TRUE(Write("VALUE", std::nullopt, std::nullopt));
  EXPECT_EQ(Read("value", "2"), "(default)") << "a missing key deletes the whole section";
  EXPECT_EQ(Read("setting", "0"), "x") << "other sections stay";
  EXPECT_EQ(Stored().find("[value]"), std::string::npos) << Stored();
  EXPECT_TRUE(Write("nothing", std::nullopt, std::nullopt)) << "deleting nothing succeeds";
  EXPECT_TRUE(Write("setting", "nothing", std::nullopt));
}

// The section forms: a whole section read in file order, and whole sections replaced.
TEST_F(IniContractTest, WholeSectionsAreReadAndReplaced) {
  EXPECT_TRUE(ini().ReadSection(file_, "value").empty()) << "no file";
  const std::string longValue(600, 'x');
  Store("[other]\r\nk=v\r\n[ Value ]\r\n 1 = \"b\" \r\nno key line\r\n0=a\r\nlong=" + longValue +
        "\r\n[setting]\r\n0=x\r\n");
  const std::vector<IniKey> keys = ini().ReadSection(file_, "VALUE");
  ASSERT_EQ(keys.size(), 3u) << "key lines only, the line without \"=\" left out";
  EXPECT_EQ(keys[0].name + "=" + keys[0].value, "1=b") << "blanks and quotes go, file order";
  EXPECT_EQ(keys[1].name + "=" + keys[1].value, "0=a");
  EXPECT_EQ(keys[2].value, longValue) << "never cut to a buffer";

  ASSERT_TRUE(ini().WriteSections(
      file_, {{"value", {{"0", "p"}, {"1", "q"}}}, {"setting", {}}, {"new", {{"n", "1"}}}}));
  EXPECT_EQ(Read("value", "0") + Read("value", "1"), "pq");
  EXPECT_EQ(Read("value", "long"), "(default)") << "a replaced section holds only the new keys";
  EXPECT_EQ(Read("setting", "0"), "(default)") << "a section without keys is removed";
  EXPECT_EQ(Stored().find("[setting]"), std::string::npos) << Stored();
  EXPECT_EQ(Read("new", "n"), "1") << "a missing section is added";
  EXPECT_EQ(Read("other", "k"), "v") << "other sections stay";
  EXPECT_LT(Stored().find("[other]"), Stored().find("[new]")) << "added at the end";
}

TEST_F(IniContractTest, TheResultIsCutToTheBuffer) {
  Store("[s]\r\nlong=abcdefghij\r\n");
  EXPECT_EQ(Read("s", "long", "", 5), "abcd") << "buffer of 5 holds 4 bytes and the 0";
  EXPECT_EQ(Read("s", "long", "", 11), "abcdefghij");
  EXPECT_EQ(Read("s", "long", "", 1), "");
  EXPECT_EQ(Read("s", "missing", "defaultlong", 4), "def") << "the default is cut as well";
}

TEST_F(IniContractTest, KoreanIsStoredInCodePage949AndNeverCutInHalf) {
  if (env_->platform().system().AnsiCodePage() != 949) {
    GTEST_SKIP() << "needs a Korean machine (ANSI code page 949)";
  }
  ASSERT_TRUE(Write("설정", "경로", "똠방각하"));
  EXPECT_EQ(Stored(), "[\xBC\xB3\xC1\xA4]\r\n\xB0\xE6\xB7\xCE=\x8C\x63\xB9\xE6\xB0\xA2\xC7\xCF\r\n")
      << "section, key and value in CP949 bytes (\"똠\" is 8C 63, outside EUC-KR)";
  EXPECT_EQ(Read("설정", "경로"), "똠방각하");
  EXPECT_EQ(Read("설정", "경로", "", 5), "똠방") << "4 bytes: two syllables";
  EXPECT_EQ(Read("설정", "경로", "", 4), "똠") << "3 bytes would end inside the second";
  EXPECT_EQ(Read("설정", "missing", "바탕 화면", 4), "바");
}

}  // namespace
}  // namespace dav::platform
