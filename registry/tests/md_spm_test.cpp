#include "registry/md_spm.h"

#include <gtest/gtest.h>

#include "registry/tests/registry_test_support.h"

namespace dav {
namespace {

using platform::kHKeyCurrentUser;

class MdSpmTest : public ::testing::Test, public testing::RegistryFixture {
 protected:
  mdSPM spm{log()};
};

TEST_F(MdSpmTest, KoreanTextRoundTripsThroughSetGetAndEnum) {
  std::string value = "시작 프로그램";
  ASSERT_TRUE(spm.SetRegValue(kHKeyCurrentUser, key(), "프로그램", platform::kRegSz, value));
  std::string read = "unchanged";
  std::int32_t size = 0;
  ASSERT_TRUE(spm.GetRegValue(kHKeyCurrentUser, key(), "프로그램", 0, read, size));
  EXPECT_EQ(read, "시작 프로그램");
  EXPECT_EQ(size, static_cast<std::int32_t>(util::AnsiLength(platform(), read) + 1))
      << "the reported size counts the terminating NUL";

  std::string name, data;
  std::int32_t nameLength = 0, type = 0, dataSize = 0, count = -1;
  ASSERT_EQ(
      spm.EnumRegValues(kHKeyCurrentUser, key(), 0, name, nameLength, type, data, dataSize, count),
      1);
  EXPECT_EQ(name, "프로그램");
  EXPECT_EQ(data, "시작 프로그램");
  EXPECT_EQ(type, static_cast<std::int32_t>(platform::kRegSz));
  EXPECT_EQ(count, 1);
}

TEST_F(MdSpmTest, EnumerationCountsAndEnds) {
  for (const char* n : {"a", "b", "c"}) SetText(key(), n, n);
  std::string name, data;
  std::int32_t nameLength = 0, type = 0, dataSize = 0, count = 0;
  EXPECT_EQ(
      spm.EnumRegValues(kHKeyCurrentUser, key(), 0, name, nameLength, type, data, dataSize, count),
      1);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(
      spm.EnumRegValues(kHKeyCurrentUser, key(), 3, name, nameLength, type, data, dataSize, count),
      0);
  EXPECT_EQ(spm.EnumRegValues(kHKeyCurrentUser, key() + "\\missing", 0, name, nameLength, type,
                              data, dataSize, count),
            0);
  EXPECT_EQ(count, 0) << "a key that cannot be opened counts no values, not the last key's";
}

TEST_F(MdSpmTest, ValuesBeyondTheBufferAreNotRead) {
  SetText(key(), "Long", std::string(300, 'x'));
  // 150 Korean syllables are 300 bytes in code page 949, more than the buffer holds.
  std::string korean;
  for (int i = 0; i < 150; ++i) korean += "가";
  SetText(key(), "Korean", korean);
  for (const char* name : {"Long", "Korean"}) {
    std::string value = "unchanged";
    std::int32_t size = 0;
    EXPECT_FALSE(spm.GetRegValue(kHKeyCurrentUser, key(), name, 0, value, size)) << name;
    EXPECT_EQ(value, "unchanged") << name;
  }
  std::string n, d;
  std::int32_t nl = 0, t = 0, ds = 0, c = 0;
  EXPECT_EQ(spm.EnumRegValues(kHKeyCurrentUser, key(), 0, n, nl, t, d, ds, c), 0)
      << "data longer than 255 bytes does not fit the enumeration buffer";
}

TEST_F(MdSpmTest, DefaultsForBlankAndMissingValues) {
  SetText(key(), "Blanks", "   ");
  SetText(key(), "Padded", " x ");
  SetText(key(), "Tab", "\t");
  EXPECT_EQ(spm.GetRegValueDefault(kHKeyCurrentUser, key(), "Tab", "0"), "\t")
      << "only spaces make a value blank";
  EXPECT_EQ(spm.GetRegValueDefault(kHKeyCurrentUser, key(), "Blanks", "0"), "0");
  EXPECT_EQ(spm.GetRegValueDefault(kHKeyCurrentUser, key(), "Missing", "0"), "0");
  EXPECT_EQ(spm.GetRegValueDefault(kHKeyCurrentUser, key(), "Padded", "0"), " x ")
      << "the value itself is not trimmed";
}

TEST_F(MdSpmTest, KeyHandlesAndPaddedNames) {
  mdSPM::KeyHandle created = 0;
  ASSERT_TRUE(spm.CreateRegKey(kHKeyCurrentUser, key() + "\\Store\\한글", created));
  ASSERT_NE(created, 0u);
  log().platform().registry().CloseKey(created);
  ASSERT_TRUE(spm.CreateRegKey(kHKeyCurrentUser, key() + "\\Store\\Sub\\Deep", created));
  log().platform().registry().CloseKey(created);

  const mdSPM::KeyHandle store = spm.GetRegHKey(kHKeyCurrentUser, key() + "\\Store");
  ASSERT_NE(store, 0u);
  EXPECT_EQ(spm.GetCntKey(store), 2);
  EXPECT_EQ(spm.GetCntValues(store), 0);
  std::string name;
  ASSERT_TRUE(spm.EnumRegKey(store, 0, name));
  EXPECT_EQ(name.size(), 255u) << "the 255-byte buffer comes back whole";
  EXPECT_EQ(name.substr(0, name.find('\0')), "Sub");
  EXPECT_FALSE(spm.EnumRegKey(store, 5, name));
  EXPECT_EQ(name, std::string(255, ' '));
  log().platform().registry().CloseKey(store);

  EXPECT_EQ(spm.GetRegHKey(kHKeyCurrentUser, key() + "\\Nothing"), 0u);
  EXPECT_FALSE(spm.DeleteRegKey(spm.GetRegHKey(kHKeyCurrentUser, key() + "\\Store"), "Sub"))
      << "a key with subkeys is not deleted";
  EXPECT_TRUE(spm.DeleteRegKey(spm.GetRegHKey(kHKeyCurrentUser, key() + "\\Store"), "Sub\\Deep"));
  EXPECT_TRUE(spm.DeleteRegValueName(kHKeyCurrentUser, key(), "x") == false);
}

}  // namespace
}  // namespace dav
