// Registering and unregistering the server in the registry of the PC the tests run on.
#include "com/registration.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <set>
#include <tuple>

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

  // Every text value below key (HKEY_CLASSES_ROOT), its subkeys' too: key, name, text.
  using Row = std::tuple<std::string, std::string, std::string>;
  void CollectRows(const std::string& key, std::set<Row>* rows) {
    platform::KeyHandle handle = platform::kNoKey;
    if (registry().OpenKey(platform::kHKeyClassesRoot, key, &handle) != platform::kErrorSuccess) {
      return;
    }
    std::string name;
    platform::ValueType type = platform::kRegNone;
    std::string data;
    for (std::uint32_t i = 0;
         registry().EnumValue(handle, i, &name, &type, &data) == platform::kErrorSuccess; ++i) {
      EXPECT_EQ(type, platform::kRegSz) << key << " " << name;
      rows->emplace(key, name, data.substr(0, strnlen(data.c_str(), data.size())));
    }
    std::vector<std::string> subkeys;
    for (std::uint32_t i = 0; registry().EnumKey(handle, i, &name) == platform::kErrorSuccess;
         ++i) {
      subkeys.push_back(name);
    }
    registry().CloseKey(handle);
    for (const std::string& subkey : subkeys) CollectRows(key + "\\" + subkey, rows);
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

// The Windows installer registers the class with registry rows of its own; they must be
// what regsvr32 writes, the DLL's path being the installed file ([#DavIrizevez.dll]).
TEST_F(RegistrationTest, TheInstallerWritesTheRowsThatRegistrationWrites) {
  const std::string installedDll = "[#DavIrizevez.dll]";
  ASSERT_EQ(RegisterServer(registry(), installedDll), platform::kErrorSuccess);
  std::set<Row> written;
  CollectRows(kProgId, &written);
  CollectRows(kClsidKey, &written);

  pugi::xml_document wxs;
  ASSERT_TRUE(wxs.load_file(DAV_INSTALLER_SOURCE)) << DAV_INSTALLER_SOURCE;
  std::set<Row> installed;
  for (const pugi::xpath_node& node : wxs.select_nodes("//*[local-name()='RegistryValue']")) {
    const pugi::xml_node row = node.node();
    EXPECT_STREQ(row.attribute("Root").value(), "HKCR") << row.attribute("Key").value();
    EXPECT_STREQ(row.attribute("Type").value(), "string") << row.attribute("Key").value();
    EXPECT_STREQ(row.parent()
                     .find_child_by_attribute("File", "Id", "DavIrizevez.dll")
                     .attribute("Name")
                     .value(),
                 "DavIrizevez.dll")
        << "the rows belong to the DLL's component, so they come and go with it";
    installed.emplace(row.attribute("Key").value(), row.attribute("Name").value(),
                      row.attribute("Value").value());
  }
  EXPECT_EQ(installed, written);
  EXPECT_EQ(written.size(), 7u) << "ProgID, its CLSID, the class, its server, threading model, "
                                   "ProgID and version-independent ProgID";
}

}  // namespace
}  // namespace dav::com
