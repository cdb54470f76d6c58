#include "registry/md_spm.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "util/run_time_error.h"

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

// The 255-byte buffers of the value enumeration, from both sides: a name of 254 bytes (with
// its NUL, 255) and data of 255 bytes are read; one byte more of either is not.
TEST_F(MdSpmTest, EnumeratedValuesAtTheBufferBoundary) {
  struct Case {
    std::string name;
    std::size_t dataBytes;
    int found;
  };
  for (const Case& c : {Case{std::string(254, 'n'), 1, 1}, Case{std::string(255, 'n'), 1, 0},
                        Case{"Data", 255, 1}, Case{"Data", 256, 0}}) {
    SCOPED_TRACE(std::to_string(c.name.size()) + "-byte name, " + std::to_string(c.dataBytes) +
                 " bytes of data");
    const std::string subKey = key() + "\\Values";
    Set(subKey, c.name, platform::kRegBinary, std::string(c.dataBytes, 'd'));
    std::string name, data;
    std::int32_t nameLength = 0, type = 0, dataSize = 0, count = 0;
    EXPECT_EQ(spm.EnumRegValues(kHKeyCurrentUser, subKey, 0, name, nameLength, type, data, dataSize,
                                count),
              c.found);
    if (c.found == 1) {
      EXPECT_EQ(name, c.name);
      EXPECT_EQ(dataSize, static_cast<std::int32_t>(c.dataBytes));
    }
    ASSERT_TRUE(spm.DeleteRegKey(spm.GetRegHKey(kHKeyCurrentUser, key()), "Values"));
  }
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

// The names of subkeys come back only when name and NUL fit the 255-byte buffer, reckoned
// in ANSI bytes: 254 bytes is the longest name that fits.
TEST_F(MdSpmTest, SubkeyNamesAtTheBufferBoundary) {
  std::string korean;  // 127 syllables: 254 ANSI bytes
  for (int i = 0; i < 127; ++i) korean += "가";
  for (const auto& [name, fits] :
       std::vector<std::pair<std::string, bool>>{{std::string(254, 'a'), true},
                                                 {std::string(255, 'b'), false},
                                                 {korean, true},
                                                 {"c" + korean, false}}) {
    SCOPED_TRACE(std::to_string(util::AnsiLength(platform(), name)) + " bytes");
    const std::string parent = key() + "\\Boundary";
    platform::KeyHandle made = platform::kNoKey;
    if (registry().CreateKey(kHKeyCurrentUser, parent + "\\" + name, &made) != 0) {
      GTEST_SKIP() << "this registry takes no key name this long (Wine)";
    }
    registry().CloseKey(made);
    mdSPM::KeyHandle opened = spm.GetRegHKey(kHKeyCurrentUser, parent);
    ASSERT_NE(opened, 0u);
    std::string found;
    EXPECT_EQ(spm.EnumRegKey(opened, 0, found), fits);
    EXPECT_EQ(found.substr(0, found.find('\0')), fits ? name : std::string(255, ' '));
    registry().CloseKey(opened);
    ASSERT_TRUE(spm.DeleteRegKey(spm.GetRegHKey(kHKeyCurrentUser, key()), "Boundary\\" + name));
    ASSERT_TRUE(spm.DeleteRegKey(spm.GetRegHKey(kHKeyCurrentUser, key()), "Boundary"));
  }
}

// A registry whose writes fail at run time (not with a status), and which counts the keys
// left open.
class FailingWrites : public platform::Registry {
 public:
  explicit FailingWrites(platform::Registry& real) : real_(real) {}
  int open = 0;

  platform::Status OpenKey(platform::KeyHandle parent, std::string_view subKey,
                           platform::KeyHandle* result) override {
    const platform::Status status = real_.OpenKey(parent, subKey, result);
    if (status == 0) ++open;
    return status;
  }
  platform::Status CreateKey(platform::KeyHandle parent, std::string_view subKey,
                             platform::KeyHandle* result, bool* created) override {
    const platform::Status status = real_.CreateKey(parent, subKey, result, created);
    if (status == 0) ++open;
    return status;
  }
  platform::Status CloseKey(platform::KeyHandle key) override {
    if (key < platform::kHKeyClassesRoot) --open;
    return real_.CloseKey(key);
  }
  platform::Status DeleteKey(platform::KeyHandle parent, std::string_view subKey) override {
    return real_.DeleteKey(parent, subKey);
  }
  platform::Status SetValue(platform::KeyHandle, std::string_view, platform::ValueType,
                            std::string_view) override {
    throw std::runtime_error("the registry went away");
  }
  platform::Status QueryValue(platform::KeyHandle key, std::string_view name,
                              platform::ValueType* type, std::uint8_t* data,
                              std::uint32_t* size) override {
    return real_.QueryValue(key, name, type, data, size);
  }
  platform::Status DeleteValue(platform::KeyHandle key, std::string_view name) override {
    return real_.DeleteValue(key, name);
  }
  platform::Status EnumKey(platform::KeyHandle key, std::uint32_t index,
                           std::string* name) override {
    return real_.EnumKey(key, index, name);
  }
  platform::Status EnumValue(platform::KeyHandle key, std::uint32_t index, std::string* name,
                             platform::ValueType* type, std::string* data) override {
    return real_.EnumValue(key, index, name, type, data);
  }
  platform::Status QueryInfoKey(platform::KeyHandle key, platform::KeyInfo* info) override {
    return real_.QueryInfoKey(key, info);
  }

 private:
  platform::Registry& real_;
};

// The platform of the fixture with that registry in place of its own.
class WithFailingWrites : public platform::Platform {
 public:
  explicit WithFailingWrites(platform::Platform& real)
      : Platform(std::make_unique<platform::FakeClock>(platform::LocalTime{})),
        real_(real),
        registry_(real.registry()) {}
  FailingWrites& failing() { return registry_; }
  platform::Registry& registry() override { return registry_; }
  platform::FileSystem& files() override { return real_.files(); }
  platform::IniFiles& ini() override { return real_.ini(); }
  platform::SystemInfo& system() override { return real_.system(); }
  platform::Shell& shell() override { return real_.shell(); }
  platform::Dialogs& dialogs() override { return real_.dialogs(); }
  platform::Display& display() override { return real_.display(); }
  platform::Processes& processes() override { return real_.processes(); }
  platform::TopLevelWindows& windows() override { return real_.windows(); }

 private:
  platform::Platform& real_;
  FailingWrites registry_;
};

TEST_F(MdSpmTest, AFailedWriteLeavesNoKeyOpen) {
  WithFailingWrites failing(platform());
  util::Log failingLog(failing, log().componentFolder());
  mdSPM failingSpm(failingLog);
  std::string value = "x";
  EXPECT_THROW(failingSpm.SetRegValue(kHKeyCurrentUser, key(), "v", platform::kRegSz, value),
               util::RunTimeError)
      << "the failure reaches the caller";
  EXPECT_EQ(failing.failing().open, 0) << "the key created for the write is closed";
}

}  // namespace
}  // namespace dav
