// Ini files as GetPrivateProfileStringA and WritePrivateProfileStringA treat them: the
// file's lines, case and blanks, quotes, defaults, the caller's buffer and the ANSI code
// page the file is kept in.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/tests/test_environment.h"

namespace dav::platform {
namespace {

constexpr std::size_t kBuffer = 500;

class IniContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = testing::MakeTestEnvironment();
    file_ = env_->scratchFolder() + "\\test.ini";
  }

  IniFiles& ini() { return env_->platform().ini(); }
  FileSystem& fs() { return env_->platform().files(); }

  std::string Read(std::string_view section, std::string_view key,
                   std::string_view defaultValue = "(default)", std::size_t buffer = kBuffer) {
    return ini().ReadString(file_, section, key, defaultValue, buffer);
  }

  void Store(const std::string& bytes) { ASSERT_EQ(fs().WriteAll(file_, bytes), kErrorSuccess); }

  std::string Stored() {
    std::string bytes;
    EXPECT_EQ(fs().ReadAll(file_, &bytes), kErrorSuccess);
    return bytes;
  }

  std::unique_ptr<testing::TestEnvironment> env_;
  std::string file_;
};

TEST_F(IniContractTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Read("setting", "0"), "(default)") << "no file";
  EXPECT_EQ(Read("setting", "0", "spaces after  "), "spaces after")
      << "the default loses its trailing blanks";
  EXPECT_EQ(Read("setting", "0", "  before"), "  before") << "but keeps leading ones";
  Store("[setting]\r\n0=a\r\nnovalue\r\nempty=\r\n");
  EXPECT_EQ(Read("other", "0"), "(default)") << "no section";
  EXPECT_EQ(Read("setting", "1"), "(default)") << "no key";
  EXPECT_EQ(Read("setting", "novalue"), "(default)") << "a line without \"=\" holds no key";
  EXPECT_EQ(Read("setting", "empty"), "") << "an empty value is a value, not the default";
}

TEST_F(IniContractTest, WritingCreatesSectionsAndKeyLines) {
  ASSERT_TRUE(ini().WriteString(file_, "Sec", "Key", "Value"));
  EXPECT_EQ(Stored(), "[Sec]\r\nKey=Value\r\n") << "a new file: a section line, a key line, CR LF";
  ASSERT_TRUE(ini().WriteString(file_, "Sec", "Key2", "v2"));
  ASSERT_TRUE(ini().WriteString(file_, "Other", "a", "1"));
  EXPECT_EQ(Stored(), "[Sec]\r\nKey=Value\r\nKey2=v2\r\n[Other]\r\na=1\r\n")
      << "a new key goes to the end of its section, a new section to the end of the file";
  ASSERT_TRUE(ini().WriteString(file_, "SEC", "key", "changed"));
  EXPECT_EQ(Read("sec", "KEY"), "changed");
  EXPECT_EQ(Read("Sec", "Key2"), "v2");
  EXPECT_FALSE(ini().WriteString(env_->scratchFolder() + "\\missing\\x.ini", "s", "k", "v"))
      << "a file in a folder that does not exist cannot be written";
}

TEST_F(IniContractTest, SectionsAndKeysIgnoreCaseAndBlanks) {
  Store("[ Settings ]\r\n  Path  =  C:\\Data  \r\n\tTab\t=\tvalue\t\r\n");
  EXPECT_EQ(Read("SETTINGS", "path"), "C:\\Data");
  EXPECT_EQ(Read("settings", "TAB"), "value");
  ASSERT_TRUE(ini().WriteString(file_, "settings", "PATH", "D:\\Docs"));
  EXPECT_EQ(Read("Settings", "Path"), "D:\\Docs");
  std::string stored = Stored();
  EXPECT_EQ(stored.find("C:\\Data"), std::string::npos) << stored;
  EXPECT_EQ(stored.find("D:\\Docs"), stored.rfind("D:\\Docs")) << "replaced, not added: " << stored;
}

TEST_F(IniContractTest, QuotesAroundAValueAreDropped) {
  Store("[q]\r\ndouble=\"quoted text\"\r\nsingle='single'\r\nhalf=\"half\r\ninner=a \"b\" c\r\n");
  EXPECT_EQ(Read("q", "double"), "quoted text");
  EXPECT_EQ(Read("q", "single"), "single");
  EXPECT_EQ(Read("q", "half"), "\"half") << "an unmatched quote stays";
  EXPECT_EQ(Read("q", "inner"), "a \"b\" c") << "quotes inside the value stay";
}

TEST_F(IniContractTest, TheFirstOfDuplicatedSectionsAndKeysWins) {
  Store("[dup]\r\nk=first\r\nk=second\r\n[other]\r\nx=1\r\n[DUP]\r\nk=third\r\n");
  EXPECT_EQ(Read("dup", "k"), "first");
  ASSERT_TRUE(ini().WriteString(file_, "dup", "k", "changed"));
  EXPECT_EQ(Read("dup", "k"), "changed") << "the first key is the one written";
}

TEST_F(IniContractTest, DeletingKeysAndSections) {
  Store("[value]\r\n0=a\r\n1=b\r\n2=c\r\n[setting]\r\n0=x\r\n");
  ASSERT_TRUE(ini().WriteString(file_, "value", "1", std::nullopt));
  EXPECT_EQ(Read("value", "1"), "(default)") << "a missing value deletes the key";
  EXPECT_EQ(Read("value", "2"), "c");

  ASSERT_TRUE(ini().WriteString(file_, "VALUE", std::nullopt, std::nullopt));
  EXPECT_EQ(Read("value", "0"), "(default)") << "a missing key deletes the whole section";
  EXPECT_EQ(Read("value", "2"), "(default)");
  EXPECT_EQ(Read("setting", "0"), "x") << "other sections stay";
  EXPECT_EQ(Stored().find("[value]"), std::string::npos) << Stored();

  EXPECT_TRUE(ini().WriteString(file_, "nothing", std::nullopt, std::nullopt))
      << "deleting what is not there succeeds";
  EXPECT_TRUE(ini().WriteString(file_, "setting", "nothing", std::nullopt));
}

TEST_F(IniContractTest, TheResultIsCutToTheBuffer) {
  Store("[s]\r\nlong=abcdefghij\r\n");
  EXPECT_EQ(Read("s", "long", "", 5), "abcd") << "buffer of 5 holds 4 bytes and the 0";
  EXPECT_EQ(Read("s", "long", "", 1), "");
  EXPECT_EQ(Read("s", "missing", "defaultlong", 4), "def") << "the default is cut as well";
  EXPECT_EQ(Read("s", "long", "", 11), "abcdefghij");
}

TEST_F(IniContractTest, AnotherWriterIsSeenAtOnce) {
  ASSERT_TRUE(ini().WriteString(file_, "s", "k", "mine"));
  EXPECT_EQ(Read("s", "k"), "mine");
  Store("[s]\r\nk=theirs\r\n");
  EXPECT_EQ(Read("s", "k"), "theirs") << "the file is read again on every call";
}

class KoreanIniContractTest : public IniContractTest {
 protected:
  void SetUp() override {
    IniContractTest::SetUp();
    if (env_->platform().system().AnsiCodePage() != 949) {
      GTEST_SKIP() << "needs a Korean machine (ANSI code page 949)";
    }
  }
};

TEST_F(KoreanIniContractTest, ValuesAreStoredInCodePage949) {
  ASSERT_TRUE(ini().WriteString(file_, "설정", "경로", "똠방각하"));
  EXPECT_EQ(Stored(), "[\xBC\xB3\xC1\xA4]\r\n\xB0\xE6\xB7\xCE=\x8C\x63\xB9\xE6\xB0\xA2\xC7\xCF\r\n")
      << "section, key and value in CP949 bytes (\"똠\" is 8C 63, outside EUC-KR)";
  EXPECT_EQ(Read("설정", "경로"), "똠방각하");
}

TEST_F(KoreanIniContractTest, TheCutNeverSplitsAKoreanCharacter) {
  ASSERT_TRUE(ini().WriteString(file_, "s", "k", "가나다"));  // 6 bytes in CP949
  EXPECT_EQ(Read("s", "k", "", 7), "가나다");
  EXPECT_EQ(Read("s", "k", "", 5), "가나") << "4 bytes: two syllables";
  EXPECT_EQ(Read("s", "k", "", 4), "가") << "3 bytes would end inside the second syllable";
  EXPECT_EQ(Read("s", "missing", "바탕 화면", 4), "바");
}

}  // namespace
}  // namespace dav::platform
