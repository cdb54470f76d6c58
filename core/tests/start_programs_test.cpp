// The start programs through the component: the store kept in step with the Run keys at
// start and termination, the list converted once per installation, and the
// StartProgramManager section of the window document applied and produced.
#include <gtest/gtest.h>

#include "core/component.h"
#include "core/tests/component_fixture.h"
#include "registry/md_registry.h"

namespace dav::core::testing {
namespace {

using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;
using startup::testing::GetValue;
using startup::testing::SetValue;
using startup::testing::ValueNames;
using NameList = std::vector<std::string>;

const std::string kRun(startup::kRunPath);

std::string RunKey(const std::string& name, const std::string& command, bool checked) {
  const std::string flag = checked ? "True" : "False";
  return "<RunKey HKey=\"-2147483646\" Path=\"" + kRun + "\" Name=\"" + name + "\" Command=\"" +
         command + "\" IsPrevStart=\"True\" Checked=\"" + flag + "\" Deleted=\"False\" />\r\n";
}

std::string WindowDocument(const std::string& sections) {
  return "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
         "SpecVersion=\"1.0.0\">" +
         sections + "</Configuration></DocRoot>";
}

class StartProgramsTest : public ::testing::Test, public ComponentFixture {
 protected:
  std::string Store() const {
    return HostKey() + "\\Components\\DavIrizevez.CCDavIrizevez\\SPManager";
  }
  std::string MachineList(const char* list) const {
    return Store() + "\\" + list + "\\HKEY_LOCAL_MACHINE_RUN";
  }
  void SetRun(const std::string& name, const std::string& command) {
    SetValue(platform(), kHKeyLocalMachine, kRun, name, command);
  }
  NameList Run() { return ValueNames(platform(), kHKeyLocalMachine, kRun); }
  NameList List(const char* list) {
    return ValueNames(platform(), kHKeyLocalMachine, MachineList(list));
  }
  std::optional<std::string> Text(platform::KeyHandle hive, const std::string& key,
                                  const std::string& name) {
    const auto value = GetValue(platform(), hive, key, name);
    return value ? std::optional(value->text) : std::nullopt;
  }
  std::unique_ptr<CCDavIrizevez> Started() {
    auto component = MakeComponent();
    component->IClientComponent_Initialize(sharedHost(), false);
    return component;
  }
};

TEST_F(StartProgramsTest, TheFirstStartTakesTheRunKeysIntoANewStoreAndConvertsOnce) {
  SetRun("Tool", "tool.exe");
  auto component = Started();
  EXPECT_EQ(Text(kHKeyLocalMachine, Store(), "EveryTime"), "0") << "a new store is unprotected";
  EXPECT_EQ(List("SPMRegStart"), NameList{"Tool"});
  EXPECT_EQ(Text(kHKeyLocalMachine, HostKey(), "isSPListEx"), "1");
  EXPECT_EQ(Run(), NameList{"Tool"});

  const auto again = MakeComponent("again");
  again->IClientComponent_Initialize(MakeHost(), false);
  EXPECT_EQ(LogText(*again).find("XMLStringSPMList"), std::string::npos)
      << "the list is converted once per installation";
}

TEST_F(StartProgramsTest, WithProtectionEveryStartAndTerminationEnforceTheStore) {
  SetRun("Tool", "tool.exe");
  auto component = Started();
  SetValue(platform(), kHKeyLocalMachine, Store(), "EveryTime", "1");
  SetRun("Added", "added.exe");
  component->IClientComponent_Terminate();
  EXPECT_EQ(Run(), NameList{"Tool"}) << "Terminate switches off what was added meanwhile";
  EXPECT_EQ(List("SPMRegDelete"), NameList{"Added"});

  SetRun("Again", "again.exe");
  Started();
  EXPECT_EQ(Run(), NameList{"Tool"}) << "so does the next start";
}

TEST_F(StartProgramsTest, AppliedWindowDocumentSetsProtectionAndTheLists) {
  for (const char* name : {"A", "B", "C"}) SetRun(name, std::string(name) + ".exe");
  auto component = Started();
  const std::string section = "<StartProgramManager Protected=\"True\">\r\n<RunKeyList>\r\n" +
                              RunKey("A", "a.exe", true) + RunKey("B", "b.exe", true) +
                              RunKey("C", "c.exe", false) +
                              "</RunKeyList>\r\n</StartProgramManager>\r\n";

  component->ApplyWinConfigXML(WindowDocument(section), "", true);
  EXPECT_EQ(Run(), (NameList{"A", "B", "C"})) << "a re-applied saved document skips the section";

  component->ApplyWinConfigXML(WindowDocument(section), "", false);
  EXPECT_EQ(Text(kHKeyLocalMachine, Store(), "EveryTime"), "1");
  EXPECT_EQ(Run(), (NameList{"A", "B"}));
  EXPECT_EQ(List("SPMRegDelete"), NameList{"C"});

  component->ApplyWinConfigXML(WindowDocument("<FileOpt />"), "", false);
  EXPECT_EQ(Text(kHKeyLocalMachine, Store(), "EveryTime"), "1")
      << "a document without the section leaves protection as it was";
  EXPECT_NE(LogText(*component).find("[err:CCDavIrizevez.ApplyWinConfigXML] line 340, 91"),
            std::string::npos)
      << LogText(*component);

  // A document read from its file (blank text) is read for the section too.
  SetValue(platform(), kHKeyLocalMachine, Store(), "EveryTime", "0");
  const std::string path = component->componentFolder() + "\\Saved.qsf";
  ASSERT_EQ(platform().files().WriteAll(path, WindowDocument(section)), platform::kErrorSuccess);
  component->ApplyWinConfigXML(" ", path, false);
  EXPECT_EQ(Text(kHKeyLocalMachine, Store(), "EveryTime"), "1");

  // So is the desktop icon section, whose protection is auto recover.
  const std::string icons =
      "<DesktopIconManager Protected=\"True\"><IconList /></DesktopIconManager>";
  ASSERT_EQ(platform().files().WriteAll(path, WindowDocument(section + icons)),
            platform::kErrorSuccess);
  component->ApplyWinConfigXML(" ", path, false);
  util::Log log(platform(), component->componentFolder());
  EXPECT_EQ(mdRegistry(log).ReadDWORD(
                kHKeyLocalMachine, HostKey() + "\\Components\\DavIrizevez.CCDavIrizevez\\DIManager",
                "EnableAutoRecover", -1),
            1);
}

TEST_F(StartProgramsTest, UnchangedRecordsOfAnotherPcLeaveThisOneAlone) {
  SetRun("Here", "here.exe");
  auto component = Started();
  // A document made on another PC: its "Foreign" starts there, its "Here" is off there; the
  // administrator changed neither.
  const auto record = [&](const std::string& name, const char* flag) {
    return "<RunKey HKey=\"-2147483646\" Path=\"" + kRun + "\" Name=\"" + name + "\" Command=\"" +
           name + ".exe\" IsPrevStart=\"" + flag + "\" Checked=\"" + flag +
           "\" Deleted=\"False\" />";
  };
  component->ApplyWinConfigXML(
      WindowDocument("<StartProgramManager Protected=\"True\"><RunKeyList>" +
                     record("Foreign", "True") + record("Here", "False") +
                     "</RunKeyList></StartProgramManager>"),
      "", false);
  component->IClientComponent_Terminate();
  EXPECT_EQ(Run(), NameList{"Here"}) << "no program of the other PC starts here";
  EXPECT_EQ(List("SPMRegStart"), NameList{"Here"});
  EXPECT_EQ(List("SPMRegDelete"), NameList{}) << "and none of this PC's is switched off";
}

TEST_F(StartProgramsTest, TheWindowDocumentCarriesTheListsBetweenStartMenuAndWinSkill) {
  SetRun("Tool", "C:\\Tool\\tool.exe /min");
  auto component = Started();
  component->IClientComponent_Handle("REQ_WINCONF", "");
  std::string reply;
  for (const std::string& call : host().calls) {
    if (call.rfind("SendReply ", 0) == 0) reply = call;
  }
  const std::string expected =
      "</StartMenu>\r\n<StartProgramManager Protected=\"False\">\r\n<RunKeyList>\r\n"
      "<RunKey HKey=\"-2147483646\" Path=\"" +
      kRun +
      "\" Name=\"Tool\" Command=\"C:\\Tool\\tool.exe /min\" IsPrevStart=\"True\" "
      "Checked=\"True\" Deleted=\"False\" />\r\n</RunKeyList>\r\n</StartProgramManager>\r\n"
      "<WinSkill>";
  EXPECT_NE(reply.find(expected), std::string::npos) << reply;
}

#if DAV_PLATFORM_SIM
// Only on the simulated PC: under Wine the start-up folder is the real user's.
TEST_F(StartProgramsTest, WithProtectionTheStartupFolderKeepsTheApprovedIcons) {
  auto component = Started();
  const std::string folder = component->fields().userStartFolder;
  const std::string backup = component->fields().startBackupFolder;
  const auto has = [&](const std::string& path) {
    std::string bytes;
    return platform().files().ReadAll(path, &bytes) == platform::kErrorSuccess;
  };
  for (const char* name : {"\\Approved.lnk", "\\New.lnk", "\\desktop.ini"}) {
    ASSERT_EQ(platform().files().WriteAll(folder + name, "link"), platform::kErrorSuccess);
  }
  using Icons = std::vector<mdTypeDefine::UType_DIData>;
  EXPECT_EQ(component->ListFolder(), (Icons{{"Approved.lnk", 1}, {"New.lnk", 1}}))
      << "without protection every icon counts as approved";

  SetValue(platform(), kHKeyLocalMachine, Store(), "EveryTime", "1");
  ASSERT_EQ(platform().files().WriteAll(backup + "\\Approved.lnk", "link"),
            platform::kErrorSuccess);
  EXPECT_EQ(component->ListFolder(), (Icons{{"Approved.lnk", 1}, {"New.lnk", 0}}));
  component->ListFolder({{"Approved.lnk", 1}});
  EXPECT_FALSE(has(folder + "\\New.lnk"));
  EXPECT_TRUE(has(folder + "\\desktop.ini")) << "never a start program";

  platform().files().Delete(folder + "\\Approved.lnk");
  ASSERT_EQ(platform().files().WriteAll(folder + "\\Added.lnk", "link"), platform::kErrorSuccess);
  component->IClientComponent_Terminate();
  EXPECT_TRUE(has(folder + "\\Approved.lnk")) << "termination puts the approved icon back";
  EXPECT_FALSE(has(folder + "\\Added.lnk")) << "and takes the unapproved one away";
}
TEST_F(StartProgramsTest, ProtectionSwitchedOnKeepsTheStartupItemsThere) {
  auto component = Started();
  const std::string folder = component->fields().userStartFolder;
  const std::string backup = component->fields().startBackupFolder;
  const auto has = [&](const std::string& path) {
    return platform().files().GetAttributes(path) != platform::kInvalidAttributes;
  };
  for (const char* name : {"\\Mail.lnk", "\\Sync.lnk"}) {
    ASSERT_EQ(platform().files().WriteAll(folder + name, "link"), platform::kErrorSuccess);
  }
  const std::string on = WindowDocument(
      "<StartProgramManager Protected=\"True\"><RunKeyList /></StartProgramManager>");
  component->ApplyWinConfigXML(on, "", false);
  EXPECT_TRUE(has(backup + "\\Mail.lnk")) << "recorded as approved when protection went on";
  component->IClientComponent_Terminate();
  EXPECT_TRUE(has(folder + "\\Mail.lnk")) << "the enforcement at the end keeps them";
  EXPECT_TRUE(has(folder + "\\Sync.lnk"));

  // Once on, an item added later is not approved by the next document.
  ASSERT_EQ(platform().files().WriteAll(folder + "\\Added.lnk", "link"), platform::kErrorSuccess);
  auto next = Started();
  next->ApplyWinConfigXML(on, "", false);
  next->IClientComponent_Terminate();
  EXPECT_FALSE(has(folder + "\\Added.lnk"));
  EXPECT_TRUE(has(folder + "\\Mail.lnk"));
}
#endif

}  // namespace
}  // namespace dav::core::testing
