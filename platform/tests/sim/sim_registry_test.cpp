// Registry behaviour of Windows that the simulated PC reproduces but that Wine does not
// share (Wine sorts values by name and folds key names to lower case for sorting), so these
// cases cannot be contract tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/machine.h"
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

}  // namespace
}  // namespace dav::platform::sim
