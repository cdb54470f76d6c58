// Registering and unregistering the server in the registry of the PC the tests run on.
#include "com/registration.h"

#include <gtest/gtest.h>

#include "platform/open_platform.h"

namespace dav::com {
namespace {

const std::string kClsidKey = std::string("CLSID\\") + kClsidText;

class RegistrationTest : public ::testing::Test {
 protected:
  void TearDown() override { UnregisterServer(registry()); }

  platform::Registry& registry() { return platform_->registry(); }

  bool Exists(const std::string& key) {
    platform::KeyHandle handle = platform::kNoKey;
    if (registry().OpenKey(platform::kHKeyClassesRoot, key, &handle) != platform::kErrorSuccess) {
      return false;
    }
    registry().CloseKey(handle);
    return true;
  }

  std::string Text(const std::string& key, const char* name) {
    platform::KeyHandle handle = platform::kNoKey;
    if (registry().OpenKey(platform::kHKeyClassesRoot, key, &handle) != platform::kErrorSuccess) {
      return "(no key)";
    }
    std::uint8_t data[512] = {};
    std::uint32_t size = sizeof data - 1;
    const platform::Status status = registry().QueryValue(handle, name, nullptr, data, &size);
    registry().CloseKey(handle);
    return status == platform::kErrorSuccess ? reinterpret_cast<const char*>(data) : "(no value)";
  }

  std::unique_ptr<platform::Platform> platform_ = platform::OpenPlatform({}, false);
};

TEST_F(RegistrationTest, RegistersTheProgIdAndTheInProcessServer) {
  ASSERT_EQ(RegisterServer(registry(), "C:\\Program Files\\x\\DavIrizevez.dll"),
            platform::kErrorSuccess);
  EXPECT_EQ(Text("DavIrizevez.CCDavIrizevez\\CLSID", ""), kClsidText);
  EXPECT_EQ(Text(kClsidKey + "\\InprocServer32", ""), "C:\\Program Files\\x\\DavIrizevez.dll");
  EXPECT_EQ(Text(kClsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(Text(kClsidKey + "\\ProgID", ""), "DavIrizevez.CCDavIrizevez");

  ASSERT_EQ(UnregisterServer(registry()), platform::kErrorSuccess);
  EXPECT_FALSE(Exists("DavIrizevez.CCDavIrizevez"));
  EXPECT_FALSE(Exists(kClsidKey));
  EXPECT_EQ(UnregisterServer(registry()), platform::kErrorSuccess) << "nothing left is fine";
}

TEST_F(RegistrationTest, AProgIdThatAnotherServerTookOverStays) {
  ASSERT_EQ(RegisterServer(registry(), "C:\\a\\DavIrizevez.dll"), platform::kErrorSuccess);
  platform::KeyHandle handle = platform::kNoKey;
  ASSERT_EQ(
      registry().OpenKey(platform::kHKeyClassesRoot, "DavIrizevez.CCDavIrizevez\\CLSID", &handle),
      platform::kErrorSuccess);
  const std::string other = "{00000000-1111-2222-3333-444444444444}";
  registry().SetValue(handle, "", platform::kRegSz, other);
  registry().CloseKey(handle);

  EXPECT_EQ(UnregisterServer(registry()), platform::kErrorSuccess);
  EXPECT_EQ(Text("DavIrizevez.CCDavIrizevez\\CLSID", ""), other);
  EXPECT_FALSE(Exists(kClsidKey)) << "our own CLSID goes all the same";

  registry().DeleteKey(platform::kHKeyClassesRoot, "DavIrizevez.CCDavIrizevez\\CLSID");
  registry().DeleteKey(platform::kHKeyClassesRoot, "DavIrizevez.CCDavIrizevez");
}

}  // namespace
}  // namespace dav::com
