// The registry as the ANSI advapi32 calls behave on Windows. Every case runs below the
// environment's scratch key, on the simulated PC and on Windows alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/tests/test_environment.h"

namespace dav::platform {
namespace {

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = testing::MakeTestEnvironment();
    ASSERT_EQ(reg().OpenKey(kHKeyCurrentUser, env_->scratchKey(), &scratch_), kErrorSuccess);
  }
  void TearDown() override {
    if (scratch_ != kNoKey) reg().CloseKey(scratch_);
  }

  Registry& reg() { return env_->platform().registry(); }

  KeyHandle Create(KeyHandle parent, std::string_view path) {
    KeyHandle key = kNoKey;
    EXPECT_EQ(reg().CreateKey(parent, path, &key), kErrorSuccess) << "RegCreateKeyExA " << path;
    return key;
  }

  // The stored bytes of a value, or the status when it cannot be read.
  std::string Bytes(KeyHandle key, std::string_view name, ValueType* type = nullptr) {
    std::uint32_t size = 0;
    if (reg().QueryValue(key, name, type, nullptr, &size) != kErrorSuccess) return "<missing>";
    std::string bytes(size, '\xbd');
    const Status status =
        reg().QueryValue(key, name, nullptr, reinterpret_cast<std::uint8_t*>(bytes.data()), &size);
    if (status != kErrorSuccess) return "<status " + std::to_string(status) + ">";
    bytes.resize(size);
    return bytes;
  }

  std::vector<std::string> SubKeys(KeyHandle key) {
    std::vector<std::string> names;
    std::string name;
    while (reg().EnumKey(key, static_cast<std::uint32_t>(names.size()), &name) == kErrorSuccess) {
      names.push_back(name);
    }
    return names;
  }

  std::vector<std::string> ValueNames(KeyHandle key) {
    std::vector<std::string> names;
    std::string name;
    ValueType type = 0;
    std::string data;
    while (reg().EnumValue(key, static_cast<std::uint32_t>(names.size()), &name, &type, &data) ==
           kErrorSuccess) {
      names.push_back(name);
    }
    return names;
  }

  std::unique_ptr<testing::TestEnvironment> env_;
  KeyHandle scratch_ = kNoKey;
};

TEST_F(RegistryContract, PathsCreateEveryLevelAndFollowTheBackslashRules) {
  bool created = false;
  KeyHandle key = kNoKey;
  ASSERT_EQ(reg().CreateKey(scratch_, "A\\B\\C", &key, &created), kErrorSuccess);
  EXPECT_TRUE(created) << "RegCreateKeyExA reports REG_CREATED_NEW_KEY for a new key";
  reg().CloseKey(key);
  ASSERT_EQ(reg().CreateKey(scratch_, "A\\B\\\\C\\", &key, &created), kErrorSuccess)
      << "doubled and trailing backslashes count as one and none";
  EXPECT_FALSE(created) << "RegCreateKeyExA of an existing key reports REG_OPENED_EXISTING_KEY";
  reg().CloseKey(key);
  EXPECT_EQ(reg().OpenKey(scratch_, "A\\Missing", &key), kErrorFileNotFound);
  EXPECT_EQ(reg().CreateKey(scratch_, "\\Lead", &key), kErrorBadPathname)
      << "RegCreateKeyExA with a leading backslash fails with ERROR_BAD_PATHNAME on NT";
  EXPECT_EQ(reg().OpenKey(kHKeyCurrentUser, "\\" + env_->scratchKey(), &key), kErrorBadPathname)
      << "RegOpenKeyExA with a leading backslash fails with ERROR_BAD_PATHNAME on NT";

  ASSERT_EQ(reg().OpenKey(scratch_, "", &key), kErrorSuccess);
  EXPECT_NE(key, scratch_) << "RegOpenKeyExA with an empty name returns a new handle";
  EXPECT_EQ(SubKeys(key), std::vector<std::string>{"A"});
  reg().CloseKey(key);
}

TEST_F(RegistryContract, NullAndClosedHandlesAreInvalid) {
  KeyHandle key = kNoKey;
  std::string name;
  std::uint32_t size = 0;
  EXPECT_EQ(reg().OpenKey(kNoKey, "Software", &key), kErrorInvalidHandle);
  EXPECT_EQ(reg().CreateKey(kNoKey, "Software", &key), kErrorInvalidHandle);
  EXPECT_EQ(reg().SetValue(kNoKey, "v", kRegSz, "x"), kErrorInvalidHandle);
  EXPECT_EQ(reg().QueryValue(kNoKey, "v", nullptr, nullptr, &size), kErrorInvalidHandle);
  EXPECT_EQ(reg().EnumKey(kNoKey, 0, &name), kErrorInvalidHandle);
  EXPECT_EQ(reg().CloseKey(kNoKey), kErrorInvalidHandle) << "RegCloseKey(NULL)";

  key = Create(scratch_, "Closed");
  ASSERT_EQ(reg().CloseKey(key), kErrorSuccess);
  EXPECT_EQ(reg().CloseKey(key), kErrorInvalidHandle) << "closing a handle twice";
  EXPECT_EQ(reg().SetValue(key, "v", kRegSz, "x"), kErrorInvalidHandle) << "use after close";
  EXPECT_EQ(reg().EnumKey(key, 0, &name), kErrorInvalidHandle) << "use after close";

  // The predefined hives need no opening and survive being closed.
  EXPECT_EQ(reg().CloseKey(kHKeyCurrentUser), kErrorSuccess);
  EXPECT_EQ(reg().OpenKey(kHKeyCurrentUser, env_->scratchKey(), &key), kErrorSuccess);
  reg().CloseKey(key);

  // HKEY_PERFORMANCE_DATA is a hive only in name: it has no keys below it.
  EXPECT_EQ(reg().OpenKey(kHKeyPerformanceData, "Software", &key), kErrorInvalidHandle)
      << "RegOpenKeyExA of a subkey of HKEY_PERFORMANCE_DATA";
  EXPECT_EQ(reg().CreateKey(kHKeyPerformanceData, "DavTest", &key), kErrorInvalidHandle)
      << "RegCreateKeyExA below HKEY_PERFORMANCE_DATA";
  EXPECT_EQ(reg().SetValue(kHKeyPerformanceData, "v", kRegSz, "x"), kErrorInvalidHandle)
      << "RegSetValueExA on HKEY_PERFORMANCE_DATA";
  EXPECT_EQ(reg().EnumKey(kHKeyPerformanceData, 0, &name), kErrorInvalidHandle)
      << "RegEnumKeyExA on HKEY_PERFORMANCE_DATA";
}

TEST_F(RegistryContract, HandleToAKeyDeletedElsewhereReportsKeyDeleted) {
  const KeyHandle held = Create(scratch_, "Doomed");
  ASSERT_EQ(reg().SetValue(held, "v", kRegSz, "x"), kErrorSuccess);
  ASSERT_EQ(reg().DeleteKey(scratch_, "Doomed"), kErrorSuccess);

  KeyHandle key = kNoKey;
  std::string name;
  std::uint32_t size = 0;
  ValueType type = 0;
  std::string data;
  EXPECT_EQ(reg().QueryValue(held, "v", nullptr, nullptr, &size), kErrorKeyDeleted);
  EXPECT_EQ(reg().SetValue(held, "v", kRegSz, "y"), kErrorKeyDeleted);
  EXPECT_EQ(reg().EnumKey(held, 0, &name), kErrorKeyDeleted);
  EXPECT_EQ(reg().EnumValue(held, 0, &name, &type, &data), kErrorKeyDeleted);
  EXPECT_EQ(reg().OpenKey(held, "sub", &key), kErrorKeyDeleted);
  EXPECT_EQ(reg().CreateKey(held, "sub", &key), kErrorKeyDeleted);
  EXPECT_EQ(reg().CloseKey(held), kErrorSuccess) << "a handle to a deleted key still closes";

  // A new key of the same name is another key; the deleted one's values are gone.
  key = Create(scratch_, "Doomed");
  EXPECT_EQ(ValueNames(key), std::vector<std::string>{}) << "deleting a key deletes its values";
  reg().CloseKey(key);
}

TEST_F(RegistryContract, DeleteKeyRefusesAKeyWithSubkeys) {
  reg().CloseKey(Create(scratch_, "Parent\\Child"));
  EXPECT_EQ(reg().DeleteKey(scratch_, "Parent"), kErrorAccessDenied)
      << "RegDeleteKeyA on NT does not delete a key that has subkeys";
  KeyHandle key = kNoKey;
  EXPECT_EQ(reg().OpenKey(scratch_, "Parent\\Child", &key), kErrorSuccess)
      << "the refused delete must leave the key and its subkey in place";
  reg().CloseKey(key);

  EXPECT_EQ(reg().DeleteKey(scratch_, "Parent\\Child"), kErrorSuccess);
  EXPECT_EQ(reg().DeleteKey(scratch_, "Parent"), kErrorSuccess);
  EXPECT_EQ(reg().DeleteKey(scratch_, "Parent"), kErrorFileNotFound);

  // An empty name deletes the key the handle stands for.
  key = Create(scratch_, "Self");
  EXPECT_EQ(reg().DeleteKey(key, ""), kErrorSuccess);
  reg().CloseKey(key);
  EXPECT_EQ(reg().OpenKey(scratch_, "Self", &key), kErrorFileNotFound);
}

TEST_F(RegistryContract, QueryValueReportsTheSizeAndRefusesASmallBuffer) {
  ASSERT_EQ(reg().SetValue(scratch_, "Text", kRegSz, std::string_view("hello world\0", 12)),
            kErrorSuccess);
  ValueType type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(reg().QueryValue(scratch_, "Text", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 12u) << "without a buffer RegQueryValueExA reports the size with the NUL";

  std::uint8_t small[4] = {};
  size = sizeof small;
  type = 0;
  EXPECT_EQ(reg().QueryValue(scratch_, "Text", &type, small, &size), kErrorMoreData)
      << "a buffer too small gives ERROR_MORE_DATA";
  EXPECT_EQ(size, 12u) << "ERROR_MORE_DATA reports the size needed";
  EXPECT_EQ(type, kRegSz) << "ERROR_MORE_DATA still reports the type";

  EXPECT_EQ(Bytes(scratch_, "Text"), std::string("hello world\0", 12));
  EXPECT_EQ(reg().QueryValue(scratch_, "Missing", nullptr, nullptr, &size), kErrorFileNotFound);
  EXPECT_EQ(reg().DeleteValue(scratch_, "Text"), kErrorSuccess);
  EXPECT_EQ(reg().DeleteValue(scratch_, "Text"), kErrorFileNotFound);
}

TEST_F(RegistryContract, StringDataWithoutTerminatorGetsOne) {
  ASSERT_EQ(reg().SetValue(scratch_, "Sz", kRegSz, "abc"), kErrorSuccess);
  EXPECT_EQ(Bytes(scratch_, "Sz"), std::string("abc\0", 4))
      << "RegSetValueExA appends the NUL a REG_SZ length left out";
  ASSERT_EQ(reg().SetValue(scratch_, "Expand", kRegExpandSz, "%PATH%"), kErrorSuccess);
  EXPECT_EQ(Bytes(scratch_, "Expand"), std::string("%PATH%\0", 7));
  ASSERT_EQ(reg().SetValue(scratch_, "Terminated", kRegSz, std::string_view("abc\0", 4)),
            kErrorSuccess);
  EXPECT_EQ(Bytes(scratch_, "Terminated"), std::string("abc\0", 4)) << "no second NUL";
  ASSERT_EQ(reg().SetValue(scratch_, "Empty", kRegSz, ""), kErrorSuccess);
  EXPECT_EQ(Bytes(scratch_, "Empty"), "") << "a zero-length REG_SZ stays zero bytes long";
  ASSERT_EQ(reg().SetValue(scratch_, "Binary", kRegBinary, "abc"), kErrorSuccess);
  EXPECT_EQ(Bytes(scratch_, "Binary"), "abc") << "binary data get no NUL";
}

// Setting a value to what it holds changes nothing; a change of the type alone or of the
// length alone is a change all the same.
TEST_F(RegistryContract, AValueSetAgainTakesItsNewTypeAndLength) {
  ASSERT_EQ(reg().SetValue(scratch_, "v", kRegBinary, std::string_view("abc\0", 4)), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(scratch_, "v", kRegBinary, std::string_view("abc\0", 4)), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(scratch_, "V", kRegSz, "abc"), kErrorSuccess) << "the same four bytes";
  ValueType type = 0;
  EXPECT_EQ(Bytes(scratch_, "v", &type), std::string("abc\0", 4));
  EXPECT_EQ(type, kRegSz);
  ASSERT_EQ(reg().SetValue(scratch_, "v", kRegBinary, "abc"), kErrorSuccess);
  EXPECT_EQ(Bytes(scratch_, "v", &type), "abc");
  EXPECT_EQ(type, kRegBinary);
  ASSERT_EQ(reg().SetValue(scratch_, "v", kRegBinary, "ab"), kErrorSuccess);
  EXPECT_EQ(Bytes(scratch_, "v"), "ab") << "a shorter value with the same start";
  EXPECT_EQ(ValueNames(scratch_), std::vector<std::string>{"v"});

  const KeyHandle held = Create(scratch_, "Doomed");
  ASSERT_EQ(reg().SetValue(held, "v", kRegSz, "x"), kErrorSuccess);
  ASSERT_EQ(reg().DeleteKey(scratch_, "Doomed"), kErrorSuccess);
  EXPECT_EQ(reg().SetValue(held, "v", kRegSz, "x"), kErrorKeyDeleted) << "the same data";
  EXPECT_EQ(reg().DeleteValue(held, "v"), kErrorKeyDeleted);
  EXPECT_EQ(reg().DeleteValue(held, "missing"), kErrorKeyDeleted);
  reg().CloseKey(held);
}

TEST_F(RegistryContract, NamesIgnoreCaseButKeepTheFirstSpelling) {
  reg().CloseKey(Create(scratch_, "MixedCase"));
  KeyHandle key = kNoKey;
  ASSERT_EQ(reg().OpenKey(scratch_, "MIXEDCASE", &key), kErrorSuccess)
      << "key names compare without regard to case";
  reg().CloseKey(key);
  bool created = true;
  ASSERT_EQ(reg().CreateKey(scratch_, "mixedcase", &key, &created), kErrorSuccess);
  EXPECT_FALSE(created);
  EXPECT_EQ(SubKeys(scratch_), std::vector<std::string>{"MixedCase"})
      << "the key keeps the case it was created with";

  ASSERT_EQ(reg().SetValue(key, "Value", kRegSz, "one"), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(key, "VALUE", kRegSz, "two"), kErrorSuccess);
  EXPECT_EQ(ValueNames(key), std::vector<std::string>{"Value"})
      << "setting VALUE replaces Value and keeps its first spelling";
  EXPECT_EQ(Bytes(key, "value"), std::string("two\0", 4));
  reg().CloseKey(key);
}

TEST_F(RegistryContract, EnumerationOrderAndKeyInfo) {
  for (const char* name : {"beta", "Alpha", "gamma"}) reg().CloseKey(Create(scratch_, name));
  EXPECT_EQ(SubKeys(scratch_), (std::vector<std::string>{"Alpha", "beta", "gamma"}))
      << "RegEnumKeyExA lists subkeys sorted without regard to case";
  std::string name;
  EXPECT_EQ(reg().EnumKey(scratch_, 3, &name), kErrorNoMoreItems);

  // The values are created in name order: Wine lists values sorted by name (and "_" before
  // letters), where Windows keeps the order of creation, so only this order holds on both.
  const std::string tenBytes = "0123456789";
  ASSERT_EQ(reg().SetValue(scratch_, "a", kRegDword, std::string(4, '\0')), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(scratch_, "bb", kRegBinary, tenBytes), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(scratch_, "ccc", kRegBinary, "x"), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(scratch_, "a", kRegDword, std::string("\x01\0\0\0", 4)), kErrorSuccess);
  EXPECT_EQ(ValueNames(scratch_), (std::vector<std::string>{"a", "bb", "ccc"}))
      << "a value set again keeps its place";

  ValueType type = 0;
  std::string data;
  ASSERT_EQ(reg().EnumValue(scratch_, 0, &name, &type, &data), kErrorSuccess);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(data, std::string("\x01\0\0\0", 4));
  EXPECT_EQ(reg().EnumValue(scratch_, 3, &name, &type, &data), kErrorNoMoreItems);

  KeyInfo info;
  ASSERT_EQ(reg().QueryInfoKey(scratch_, &info), kErrorSuccess);
  EXPECT_EQ(info.subKeys, 3u);
  EXPECT_EQ(info.maxSubKeyLen, 5u) << "the longest subkey name, without its NUL";
  EXPECT_EQ(info.values, 3u);
  EXPECT_EQ(info.maxValueNameLen, 3u) << "the longest value name, without its NUL";
  EXPECT_EQ(info.maxValueLen, 10u) << "the longest value data in bytes";
}

TEST_F(RegistryContract, KeyInfoMeasuresNamesAndStringsAsStoredInUtf16) {
  if (env_->platform().system().AnsiCodePage() != 949) {
    GTEST_SKIP() << "needs a Korean machine (ANSI code page 949)";
  }
  reg().CloseKey(Create(scratch_, "시작 프로그램"));
  reg().CloseKey(Create(scratch_, "abcdef"));
  ASSERT_EQ(reg().SetValue(scratch_, "바탕 화면", kRegExpandSz, "%PATH%"), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(scratch_, "abcd", kRegBinary, "0123456789"), kErrorSuccess);
  KeyInfo info;
  ASSERT_EQ(reg().QueryInfoKey(scratch_, &info), kErrorSuccess);
  EXPECT_EQ(info.maxSubKeyLen, 7u)
      << "RegQueryInfoKeyA counts the characters of \"시작 프로그램\", not its 13 ANSI bytes";
  EXPECT_EQ(info.maxValueNameLen, 5u)
      << "RegQueryInfoKeyA counts the characters of \"바탕 화면\", not its 9 ANSI bytes";
  EXPECT_EQ(info.maxValueLen, 14u)
      << "RegQueryInfoKeyA counts \"%PATH%\" and its NUL as stored in UTF-16 (14 bytes), "
         "not the 7 ANSI bytes a query returns";

  std::string korean;
  ASSERT_TRUE(EncodeCodePage(949, "바탕화면바탕화면", &korean));
  ASSERT_EQ(reg().SetValue(scratch_, "k", kRegSz, korean), kErrorSuccess);
  ASSERT_EQ(reg().QueryInfoKey(scratch_, &info), kErrorSuccess);
  EXPECT_EQ(info.maxValueLen, 18u)
      << "eight Hangul syllables and a NUL: 17 ANSI bytes, 18 bytes in UTF-16";
}

TEST_F(RegistryContract, NamesTheCodePageCannotHoldAreStoredWithQuestionMarks) {
  if (env_->platform().system().AnsiCodePage() == kCodePageUtf8) {
    GTEST_SKIP() << "a UTF-8 machine holds every character";
  }
  KeyHandle key = Create(scratch_, "Thai ก");
  EXPECT_EQ(SubKeys(scratch_), std::vector<std::string>{"Thai ?"})
      << "RegCreateKeyExA gets \"?\" for a character the ANSI code page lacks";
  reg().CloseKey(key);
  ASSERT_EQ(reg().OpenKey(scratch_, "thai ข", &key), kErrorSuccess)
      << "another missing character becomes the same \"?\" and so names the same key";
  ASSERT_EQ(reg().SetValue(key, "Smile 😀", kRegSz, "x"), kErrorSuccess);
  EXPECT_EQ(ValueNames(key), std::vector<std::string>{"Smile ??"})
      << "a character outside the BMP is two UTF-16 units and so two \"?\"";
  EXPECT_EQ(Bytes(key, "Smile ??"), std::string("x\0", 2));
  EXPECT_EQ(reg().DeleteValue(key, "Smile 😃"), kErrorSuccess) << "the same two \"?\"";
  reg().CloseKey(key);
}

TEST_F(RegistryContract, KoreanNamesAndDataRoundTrip) {
  const std::uint32_t codePage = env_->platform().system().AnsiCodePage();
  const std::string keyName = "시작 프로그램";
  const std::string valueName = "바탕 화면";
  const std::string text = "C:\\Documents and Settings\\사용자\\시작 메뉴";
  std::string ansi;
  ASSERT_TRUE(EncodeCodePage(codePage, text, &ansi)) << "code page " << codePage;

  const KeyHandle key = Create(scratch_, keyName);
  ASSERT_EQ(reg().SetValue(key, valueName, kRegSz, ansi), kErrorSuccess);
  reg().CloseKey(key);

  EXPECT_EQ(SubKeys(scratch_), std::vector<std::string>{keyName});
  KeyHandle opened = kNoKey;
  ASSERT_EQ(reg().OpenKey(scratch_, keyName, &opened), kErrorSuccess);
  EXPECT_EQ(ValueNames(opened), std::vector<std::string>{valueName});
  const std::string stored = Bytes(opened, valueName);
  EXPECT_EQ(stored, ansi + '\0') << "the ANSI bytes come back as written, with a NUL";
  std::string decoded;
  ASSERT_TRUE(DecodeCodePage(codePage, stored.substr(0, stored.size() - 1), &decoded));
  EXPECT_EQ(decoded, text);
  reg().CloseKey(opened);
}

}  // namespace
}  // namespace dav::platform
