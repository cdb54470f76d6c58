#include "registry/md_registry.h"

#include <gtest/gtest.h>

#include "registry/tests/registry_test_support.h"
#include "util/run_time_error.h"

namespace dav {
namespace {

using platform::kHKeyCurrentUser;

class MdRegistryTest : public ::testing::Test, public testing::RegistryFixture {
 protected:
  mdRegistry reg{log()};
};

TEST_F(MdRegistryTest, TypedReadersGiveTheirDefaultsForOtherTypes) {
  SetText(key(), "Text", "1");
  SetDword(key(), "Number", 0xFFFFFFFF);
  Set(key(), "Empty", platform::kRegSz, std::string(1, '\0'));  // as Windows' own tools write it
  Set(key(), "NoBytes", platform::kRegSz, "");
  EXPECT_EQ(reg.ReadDWORD(kHKeyCurrentUser, key(), "Text", 7), 7)
      << "a REG_SZ is not converted by ReadDWORD";
  EXPECT_EQ(reg.ReadDWORD(kHKeyCurrentUser, key(), "Number", 7), -1);
  EXPECT_EQ(reg.ReadDWORD(kHKeyCurrentUser, key() + "\\missing", "Number", 7), 7);
  EXPECT_EQ(reg.ReadString(kHKeyCurrentUser, key(), "Missing", "def"), "def");
  EXPECT_EQ(reg.ReadString(kHKeyCurrentUser, key(), "Number", "def"), "")
      << "a value of another type gives the empty text, not the default";
  EXPECT_EQ(reg.ReadString(kHKeyCurrentUser, key(), "Empty", "def"), "");
  EXPECT_EQ(reg.ReadString(kHKeyCurrentUser, key(), "NoBytes", "def"), "def")
      << "a value of size 0 reads as missing";
  EXPECT_FALSE(reg.ReadBinary(kHKeyCurrentUser, key(), "Text").has_value());
}

TEST_F(MdRegistryTest, WritersCreateTheKeyAndRoundTrip) {
  const std::string sub = key() + "\\a\\b";
  reg.WriteDWORD(kHKeyCurrentUser, sub, "D", -2);
  reg.WriteBinary(kHKeyCurrentUser, sub, "B", {0x01, 0x02, 0xFF});
  reg.WriteBinary(kHKeyCurrentUser, sub, "Zero", {});
  EXPECT_EQ(reg.ReadDWORD(kHKeyCurrentUser, sub, "D", 0), -2);
  EXPECT_EQ(reg.ReadBinary(kHKeyCurrentUser, sub, "B"), (std::vector<std::uint8_t>{1, 2, 255}));
  EXPECT_EQ(reg.ReadBinary(kHKeyCurrentUser, sub, "Zero"), (std::vector<std::uint8_t>{0}))
      << "a binary value of size 0 reads as one byte";
  reg.WriteValue(fullPath(), "Korean", "시작 프로그램", 1);
  EXPECT_EQ(Get(key(), "Korean").second, util::ToAnsi(platform(), "시작 프로그램") + '\0');
  reg.WriteValue(fullPath(), "Flag", "1", 4);
  EXPECT_EQ(reg.ReadValue(fullPath(), "Flag", "x"), "1");
  reg.WriteValue(fullPath(), "Bad", "abc", 4);
  EXPECT_EQ(Get(key(), "Bad").first, platform::kRegNone)
      << "a text that is no number is not written";
  reg.WriteValue(fullPath(), "Other", "1", 3);
  EXPECT_EQ(Get(key(), "Other").first, platform::kRegNone) << "only types 1 and 4 are written";
}

TEST_F(MdRegistryTest, ReadValueByTypeAndHiveName) {
  SetDword(key(), "One", 1);
  SetDword(key(), "Minus", 0xFFFFFFFF);
  Set(key(), "Multi", platform::kRegMultiSz, std::string("first\0second\0\0", 14));
  Set(key(), "Bin", platform::kRegBinary, std::string("\xFE\xFF\x01\x00", 4));
  Set(key(), "Expand", platform::kRegExpandSz, "%WINDIR%");
  EXPECT_EQ(reg.ReadValue(fullPath(), "One", "d"), "1");
  EXPECT_EQ(reg.ReadValue(fullPath(), "Minus", "d"), "-1");
  EXPECT_EQ(reg.ReadValue(fullPath(), "Multi", "d"), "first");
  EXPECT_EQ(reg.ReadValue(fullPath(), "Bin", "d"), "-2") << "first two bytes, signed";
  EXPECT_EQ(reg.ReadValue(fullPath(), "Expand", "d"), "d") << "other types give the default";
  EXPECT_EQ(reg.ReadValue(fullPath(), "Missing", "d"), "d");
  EXPECT_EQ(reg.ReadValue("HKCU\\" + key(), "One", "d"), "d") << "short hive names are refused";
  EXPECT_EQ(reg.ReadValue("hkey_current_user\\" + key(), "One", "d"), "d")
      << "hive names compare exactly";
  reg.WriteValue("HKCU\\" + key(), "New", "x", 1);
  EXPECT_EQ(Get(key(), "New").first, platform::kRegNone);
}

TEST_F(MdRegistryTest, KeysExistAndDeleteOnlyWithoutSubkeys) {
  reg.CreateKey(kHKeyCurrentUser, key() + "\\Parent\\Child");
  EXPECT_TRUE(reg.RegKeyExist(fullPath() + "\\Parent")) << "a key without a default value exists";
  EXPECT_FALSE(reg.RegKeyExist(fullPath() + "\\Nothing"));
  EXPECT_THROW(reg.RegKeyExist("HKLM\\Software"), util::RunTimeError)
      << "an unknown hive is reported and raised";
  reg.DeleteKey(kHKeyCurrentUser, key(), "Parent");
  EXPECT_TRUE(KeyExists(key() + "\\Parent")) << "a key with subkeys stays";
  reg.RemoveKey(kHKeyCurrentUser, key() + "\\Parent\\Child");
  EXPECT_FALSE(KeyExists(key() + "\\Parent\\Child"));
  SetText(key() + "\\Parent", "v", "x");
  reg.DeleteValue(kHKeyCurrentUser, key() + "\\Parent", "v");
  reg.DeleteValue(kHKeyCurrentUser, key() + "\\Parent", "v");  // missing: no error
  reg.DeleteKey(kHKeyCurrentUser, key(), "Parent");
  EXPECT_FALSE(KeyExists(key() + "\\Parent"));
}

}  // namespace
}  // namespace dav
