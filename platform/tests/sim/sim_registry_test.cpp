// Registry behaviour of Windows that the simulated PC reproduces but that Wine does not
// share (Wine sorts values by name and folds key names to lower case for sorting), so these
// cases cannot be contract tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/machine_schema.h"
#include "platform/sim/sim_registry.h"
#include "platform/tests/sim/temp_folder.h"

namespace dav::platform::sim {
namespace {

class SimRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_ = Machine::Create(temp_.path());
    ASSERT_EQ(reg().CreateKey(kHKeyCurrentUser, "Software\\SimTest", &key_), kErrorSuccess);
  }
  void TearDown() override { reg().CloseKey(key_); }

  Registry& reg() { return machine_->registry(); }

  std::vector<std::string> ValueNames() {
    std::vector<std::string> names;
    std::string name;
    while (reg().EnumValue(key_, static_cast<std::uint32_t>(names.size()), &name, nullptr,
                           nullptr) == kErrorSuccess) {
      names.push_back(name);
    }
    return names;
  }

  void MakeSubkeys(Registry& registry, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      KeyHandle sub = kNoKey;
      ASSERT_EQ(
          registry.CreateKey(kHKeyCurrentUser, std::string("Software\\SimTest\\") + name, &sub),
          kErrorSuccess);
      registry.CloseKey(sub);
    }
  }

  // The index-th subkey's name, or the status when there is none.
  std::string SubkeyAt(std::uint32_t index) {
    std::string name;
    const Status status = reg().EnumKey(key_, index, &name);
    return status == kErrorSuccess ? name : "<status " + std::to_string(status) + ">";
  }

  std::string ValueAt(std::uint32_t index, std::string* data = nullptr) {
    std::string name;
    const Status status = reg().EnumValue(key_, index, &name, nullptr, data);
    return status == kErrorSuccess ? name : "<status " + std::to_string(status) + ">";
  }

  testing::TempFolder temp_;
  std::unique_ptr<Machine> machine_;
  KeyHandle key_ = kNoKey;
};

TEST_F(SimRegistryTest, ValuesEnumerateInCreationOrder) {
  for (const char* name : {"zeta", "Alpha", "mid"}) {
    ASSERT_EQ(reg().SetValue(key_, name, kRegSz, "x"), kErrorSuccess);
  }
  EXPECT_EQ(ValueNames(), (std::vector<std::string>{"zeta", "Alpha", "mid"}))
      << "Windows lists values in the order they were created, not sorted";
  ASSERT_EQ(reg().DeleteValue(key_, "Alpha"), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(key_, "alpha", kRegSz, "again"), kErrorSuccess);
  EXPECT_EQ(ValueNames(), (std::vector<std::string>{"zeta", "mid", "alpha"}))
      << "a value deleted and created again comes last, with its new spelling";
}

TEST_F(SimRegistryTest, SubkeysSortByUpperCaseNames) {
  for (const char* name : {"_under", "b", "A", "[", "Z"}) {
    KeyHandle sub = kNoKey;
    ASSERT_EQ(reg().CreateKey(key_, name, &sub), kErrorSuccess);
    reg().CloseKey(sub);
  }
  std::vector<std::string> names;
  std::string name;
  while (reg().EnumKey(key_, static_cast<std::uint32_t>(names.size()), &name) == kErrorSuccess) {
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "Z", "[", "_under"}))
      << "Windows compares upper-cased names, so '[' and '_' come after the letters";
}

TEST_F(SimRegistryTest, KeyNamesAreLimitedTo255Characters) {
  KeyHandle sub = kNoKey;
  EXPECT_EQ(reg().CreateKey(key_, std::string(256, 'k'), &sub), kErrorInvalidParameter);
  ASSERT_EQ(reg().CreateKey(key_, std::string(255, 'k'), &sub), kErrorSuccess);
  reg().CloseKey(sub);
  // Korean characters count as characters, not bytes.
  std::string korean;
  for (int i = 0; i < 255; ++i) korean += "가";
  ASSERT_EQ(reg().CreateKey(key_, korean, &sub), kErrorSuccess);
  reg().CloseKey(sub);
}

// A caller walks indexes 0, 1, 2 ... and each answer is the entry at that index as the key
// is at the time of the call, whatever changed since the call before.
TEST_F(SimRegistryTest, EnumerationByIndexFollowsChangesBetweenCalls) {
  MakeSubkeys(reg(), {"b", "d", "f"});
  EXPECT_EQ(SubkeyAt(0), "b");
  MakeSubkeys(reg(), {"a"});
  EXPECT_EQ(SubkeyAt(1), "b") << "a new subkey before the last answer moves it one index on";
  EXPECT_EQ(SubkeyAt(2), "d");
  ASSERT_EQ(reg().DeleteKey(key_, "b"), kErrorSuccess);
  EXPECT_EQ(SubkeyAt(2), "f") << "a deleted subkey before the last answer moves the rest back";
  EXPECT_EQ(SubkeyAt(3), "<status 259>");

  // Another connection to the same machine, as another process would have.
  auto other = Machine::Open(temp_.path());
  EXPECT_EQ(SubkeyAt(0), "a");
  MakeSubkeys(other->registry(), {"0"});
  EXPECT_EQ(SubkeyAt(1), "a") << "a subkey made elsewhere is seen at the next call";
  ASSERT_EQ(other->registry().DeleteKey(kHKeyCurrentUser, "Software\\SimTest\\a"), kErrorSuccess);
  EXPECT_EQ(SubkeyAt(1), "d");
  EXPECT_EQ(SubkeyAt(1), "d") << "the same index again gives the same answer";

  for (const char* name : {"v1", "v2", "v3", "v4"}) {
    ASSERT_EQ(reg().SetValue(key_, name, kRegSz, "old"), kErrorSuccess);
  }
  std::string data;
  EXPECT_EQ(ValueAt(0), "v1");
  ASSERT_EQ(reg().DeleteValue(key_, "v1"), kErrorSuccess);
  EXPECT_EQ(ValueAt(1), "v3") << "a deleted value before the last answer moves the rest back";
  ASSERT_EQ(reg().SetValue(key_, "v3", kRegSz, "new"), kErrorSuccess);
  EXPECT_EQ(ValueAt(1, &data), "v3");
  EXPECT_EQ(data, std::string("new\0", 4)) << "the data are read at the call, not remembered";
  KeyHandle otherKey = kNoKey;
  ASSERT_EQ(other->registry().OpenKey(kHKeyCurrentUser, "Software\\SimTest", &otherKey),
            kErrorSuccess);
  ASSERT_EQ(other->registry().DeleteValue(otherKey, "v2"), kErrorSuccess);
  other->registry().CloseKey(otherKey);
  EXPECT_EQ(ValueAt(1), "v4") << "a value deleted elsewhere is seen at the next call";
  EXPECT_EQ(ValueAt(2), "<status 259>");
}

// Long listings are read ahead in batches; the walk stays the listing of the key as it is at
// each call across a batch's end, and after changes made between two calls.
TEST_F(SimRegistryTest, LongEnumerationsCrossBatchesAndFollowChanges) {
  constexpr int kCount = 600;
  std::vector<std::string> keys;
  std::vector<std::string> values;
  for (int i = 0; i < kCount; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, i % 2 ? "K%03d" : "k%03d", i);  // sorted without case
    keys.push_back(name);
    values.push_back("v" + std::to_string(kCount - i));  // listed in creation order
    KeyHandle sub = kNoKey;
    ASSERT_EQ(reg().CreateKey(key_, name, &sub), kErrorSuccess);
    reg().CloseKey(sub);
    ASSERT_EQ(reg().SetValue(key_, values.back(), kRegSz, values.back()), kErrorSuccess);
  }
  for (std::uint32_t i = 0; i < kCount; ++i) {
    ASSERT_EQ(SubkeyAt(i), keys[i]) << "subkey " << i;
    std::string data;
    ASSERT_EQ(ValueAt(i, &data), values[i]) << "value " << i;
    ASSERT_EQ(data, values[i] + '\0');
  }
  EXPECT_EQ(SubkeyAt(kCount), "<status 259>");
  EXPECT_EQ(ValueAt(kCount), "<status 259>");

  ASSERT_EQ(reg().SetValue(key_, "late", kRegSz, "x"), kErrorSuccess);
  EXPECT_EQ(ValueAt(kCount), "late") << "a value made after the walk reached the end follows";
  EXPECT_EQ(SubkeyAt(300), keys[300]);
  KeyHandle sub = kNoKey;
  ASSERT_EQ(reg().CreateKey(key_, "a", &sub), kErrorSuccess);
  reg().CloseKey(sub);
  EXPECT_EQ(SubkeyAt(301), keys[300]) << "a new first subkey moves the rest one index on";
  ASSERT_EQ(reg().DeleteValue(key_, values[0]), kErrorSuccess);
  EXPECT_EQ(ValueAt(299), values[300]) << "a deleted first value moves the rest back";
  EXPECT_EQ(SubkeyAt(0), "a") << "an index before the batch is counted out again";
}

// Keys found once are remembered; a key deleted and made again elsewhere is another key.
TEST_F(SimRegistryTest, KeysMadeAgainElsewhereAreFoundAnew) {
  auto write = [](Registry& registry, const char* data) {
    KeyHandle key = kNoKey;
    ASSERT_EQ(registry.CreateKey(kHKeyCurrentUser, "Software\\SimTest\\Outer\\Inner", &key),
              kErrorSuccess);
    ASSERT_EQ(registry.SetValue(key, "v", kRegSz, data), kErrorSuccess);
    registry.CloseKey(key);
  };
  auto read = [](Registry& registry, const char* path) {
    KeyHandle key = kNoKey;
    const Status opened = registry.OpenKey(kHKeyCurrentUser, path, &key);
    if (opened != kErrorSuccess) return "<open " + std::to_string(opened) + ">";
    char data[16] = {};
    std::uint32_t size = sizeof data;
    const Status status =
        registry.QueryValue(key, "v", nullptr, reinterpret_cast<std::uint8_t*>(data), &size);
    registry.CloseKey(key);
    return status == kErrorSuccess ? std::string(data) : "<query " + std::to_string(status) + ">";
  };
  write(reg(), "first");
  EXPECT_EQ(read(reg(), "Software\\SimTest\\Outer\\Inner"), "first");

  auto other = Machine::Open(temp_.path());
  ASSERT_EQ(other->registry().DeleteKey(kHKeyCurrentUser, "Software\\SimTest\\Outer\\Inner"),
            kErrorSuccess);
  EXPECT_EQ(read(reg(), "Software\\SimTest\\Outer\\Inner"), "<open 2>");
  ASSERT_EQ(other->registry().DeleteKey(kHKeyCurrentUser, "Software\\SimTest\\Outer"),
            kErrorSuccess);
  write(other->registry(), "second");
  EXPECT_EQ(read(reg(), "Software\\SimTest\\Outer\\Inner"), "second")
      << "the path leads to the new key, not the deleted one";
  EXPECT_EQ(read(reg(), "SOFTWARE\\simtest\\outer\\INNER"), "second");

  ASSERT_EQ(reg().DeleteKey(kHKeyCurrentUser, "Software\\SimTest\\Outer\\Inner"), kErrorSuccess);
  EXPECT_EQ(read(reg(), "Software\\SimTest\\Outer\\Inner"), "<open 2>");
  EXPECT_EQ(read(other->registry(), "Software\\SimTest\\Outer\\Inner"), "<open 2>");
}

// A miss below a remembered key is a miss only while that key is there: made again
// elsewhere, it may hold what was missed.
TEST_F(SimRegistryTest, AMissBelowARememberedKeyMadeAgainElsewhereLooksAgain) {
  KeyHandle key = kNoKey;
  ASSERT_EQ(reg().CreateKey(kHKeyCurrentUser, "Software\\SimTest\\Outer", &key), kErrorSuccess);
  reg().CloseKey(key);
  EXPECT_EQ(reg().OpenKey(kHKeyCurrentUser, "Software\\SimTest\\Outer\\Inner", &key),
            kErrorFileNotFound);

  auto other = Machine::Open(temp_.path());
  ASSERT_EQ(other->registry().DeleteKey(kHKeyCurrentUser, "Software\\SimTest\\Outer"),
            kErrorSuccess);
  ASSERT_EQ(other->registry().CreateKey(kHKeyCurrentUser, "Software\\SimTest\\Outer\\Inner", &key),
            kErrorSuccess);
  other->registry().CloseKey(key);
  EXPECT_EQ(reg().OpenKey(kHKeyCurrentUser, "Software\\SimTest\\Outer\\Inner", &key),
            kErrorSuccess);
  reg().CloseKey(key);
}

TEST_F(SimRegistryTest, AnEmptyPathOpensTheKeyItselfAndABackslashIsRefused) {
  KeyHandle key = kNoKey;
  ASSERT_EQ(reg().OpenKey(key_, "", &key), kErrorSuccess);
  reg().CloseKey(key);
  EXPECT_EQ(reg().OpenKey(key_, "\\", &key), kErrorBadPathname);
  EXPECT_EQ(reg().OpenKey(kHKeyCurrentUser, "\\", &key), kErrorBadPathname);
}

// A key made inside a transaction that is then rolled back is gone, though its id may be
// given to the next key made; so is the path to it once opened.
TEST(SimRegistryMemory, KeysOfARolledBackTransactionAreForgotten) {
  testing::TempFolder temp;
  auto db = Database::Open(temp.path() / "registry.db", true);
  UpgradeMachineSchema(*db);
  SimRegistry registry(*db, [] { return 949u; });
  KeyHandle key = kNoKey;
  EXPECT_THROW(
      db->Transaction(
          Database::Mode::kWrite,
          [&] {
            ASSERT_EQ(registry.CreateKey(kHKeyLocalMachine, "Taken\\Back", &key), kErrorSuccess);
            registry.CloseKey(key);
            ASSERT_EQ(registry.OpenKey(kHKeyLocalMachine, "Taken\\Back", &key), kErrorSuccess);
            registry.CloseKey(key);
            throw std::runtime_error("roll back");
          }),
      std::runtime_error);
  ASSERT_EQ(registry.CreateKey(kHKeyLocalMachine, "Kept\\Here", &key), kErrorSuccess);
  registry.CloseKey(key);
  EXPECT_EQ(registry.OpenKey(kHKeyLocalMachine, "Taken\\Back", &key), kErrorFileNotFound);
  EXPECT_EQ(registry.OpenKey(kHKeyLocalMachine, "Taken", &key), kErrorFileNotFound);
  std::string name;
  EXPECT_EQ(registry.EnumKey(kHKeyLocalMachine, 0, &name), kErrorSuccess);
  EXPECT_EQ(name, "Kept");
}

}  // namespace
}  // namespace dav::platform::sim
