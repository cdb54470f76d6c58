// The three operations on the legacy settings document: which sections each applies, how
// each reports a failing section, what ApplyWindowSettingXML keeps, and what a document
// that does not load leaves.
#include <gtest/gtest.h>

#include "core/component.h"
#include "core/tests/component_fixture.h"
#include "registry/md_registry.h"

namespace dav::core::testing {
namespace {

constexpr const char* kPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

std::string Document(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
         "SpecVersion=\"1.0.0\">" +
         body + "</Configuration></DocRoot>";
}
std::string Row(const std::string& id, const std::string& value) {
  return "<Row ID=\"" + id + "\" Value=\"" + value + "\" />";
}

// A legacy document: a start menu policy row, a display mode, a drive text that fails when
// short, and the file order rows after it.
std::string Legacy(const std::string& driveSettings) {
  return Document(
      "<SysMngr>" + Row("CmdPrompt", "1") + "</SysMngr><StartMenu><WinXP>" +
      Row("MyLatelyDocView", "0") + "</WinXP></StartMenu><DisplayConfig>" +
      Row("RebootDisplay", "1") +
      "<DisplayList DPFirst=\"800 x 600\" ColorQuality=\"16 bit\" Hz=\"75 Hz\" /></DisplayConfig>"
      "<DiskMngr>" +
      Row("HideDrive", "1") + Row("DriveSettings", driveSettings) + "</DiskMngr><FileOrder>" +
      Row("RebootAutoDel", "1") + "</FileOrder>");
}

class LegacyDocumentsTest : public ::testing::Test, public ComponentFixture {
 protected:
  void SetUp() override {
    component_ = MakeComponent();
    component_->IClientComponent_Initialize(sharedHost(), false);
  }
  std::string Put(const std::string& name, const std::string& text) {
    const std::string path = component_->componentFolder() + "\\" + name;
    EXPECT_EQ(platform().files().WriteAll(path, text), platform::kErrorSuccess);
    return path;
  }
  std::int32_t Dword(platform::KeyHandle hive, const std::string& key, const std::string& name) {
    return Registry().ReadDWORD(hive, key, name, -1);
  }
  std::string Client(const std::string& name) {
    return Registry().ReadString(platform::kHKeyLocalMachine, kClientKey, name, "<missing>");
  }
  bool Saved() {
    return platform().files().GetAttributes(component_->componentFolder() + "\\DavIrizevez.qsf") !=
           platform::kInvalidAttributes;
  }
  std::string Log() { return LogText(*component_); }
  std::string Debug() { return DebugText(*component_); }

  std::unique_ptr<CCDavIrizevez> component_;

 private:
  mdRegistry Registry() {
    log_ = std::make_unique<util::Log>(platform(), component_->componentFolder());
    return mdRegistry(*log_);
  }
  std::unique_ptr<util::Log> log_;
};

TEST_F(LegacyDocumentsTest, ManagerLoginLogsAFailingSectionAndAppliesTheRest) {
  component_->ApplyXML_ManagerLogin(Put("initial.qsf", Legacy("1")));
  EXPECT_EQ(Dword(platform::kHKeyCurrentUser, "Software\\Policies\\Microsoft\\Windows\\System",
                  "DisableCMD"),
            1);
  EXPECT_EQ(Dword(platform::kHKeyCurrentUser, kPolicies, "NoRecentDocsMenu"), 0)
      << "the older start menu applier writes a policy's 0";
  EXPECT_EQ(Client("RebootDisplay"), "1");
  EXPECT_EQ(Client("DisplayList"), "<missing>") << "a login never keeps a display mode";
  EXPECT_EQ(Client("RebootAutoDel"), "1") << "the sections after the failing one are applied";
  EXPECT_NE(Log().find("CCDavIrizevez.ApplyXML_ManagerLogin Start"), std::string::npos);
  EXPECT_NE(Log().find("[err:CCDavIrizevez.ApplyXML_ManagerLogin] line 260, 13, "),
            std::string::npos)
      << Log();
  EXPECT_NE(Debug().find(" [modDavIrizevez.GetXMLDiskMngr] \t13\t"), std::string::npos);
  EXPECT_NE(Debug().find("다운받은 XML 내용 : "), std::string::npos);
  EXPECT_FALSE(Saved());
}

TEST_F(LegacyDocumentsTest, ManagerLogoffPassesFailuresInSilenceWithTheCurrentStartMenu) {
  component_->ApplyXML_ManagerLogoff(Put("initial.qsf", Legacy("1")));
  EXPECT_EQ(Dword(platform::kHKeyCurrentUser, kPolicies, "NoRecentDocsMenu"), -1)
      << "the current start menu applier deletes a policy that is 0";
  EXPECT_EQ(Client("RebootAutoDel"), "1");
  EXPECT_EQ(Log().find("ApplyXML_ManagerLogoff"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("[err:"), std::string::npos) << Log();
}

TEST_F(LegacyDocumentsTest, DocumentsThatDoNotLoadApplyAndKeepNothing) {
  component_->ApplyXML_ManagerLogin("");
  EXPECT_NE(Log().find("Err (errorCode) -> "), std::string::npos);
  EXPECT_NE(Log().find("Err (URL) -> "), std::string::npos);
  EXPECT_NE(Debug().find("XML 내용 : "), std::string::npos);
  EXPECT_EQ(Debug().find("다운받은"), std::string::npos);

  component_->ApplyWindowSettingXML(Legacy("10100000000000000000000000") + "<");
  EXPECT_FALSE(Saved());
  EXPECT_EQ(Client("RebootDisplay"), "<missing>");
  EXPECT_EQ(Log().find("ApplyWindowSettingXML"), std::string::npos) << "no Start or End lines";
}

TEST_F(LegacyDocumentsTest, WindowSettingKeepsTheDisplayModeAndTheDocument) {
  component_->ApplyWindowSettingXML(Legacy("10100000000000000000000000"));
  EXPECT_EQ(Client("DisplayList"), "800 x 600*16*75");
  EXPECT_EQ(component_->state().requests.display.width, "800");
  EXPECT_EQ(Dword(platform::kHKeyLocalMachine, kPolicies, "NoDrives"), 5);
  EXPECT_EQ(Dword(platform::kHKeyCurrentUser, kPolicies, "NoRecentDocsMenu"), -1);
  EXPECT_TRUE(Saved());
  EXPECT_EQ(Log().find("[err:"), std::string::npos) << Log();
}

TEST_F(LegacyDocumentsTest, StartProgramsGoToTheStartProgramManagerOnlyFromAWholeSection) {
  const std::string run(startup::kRunPath);
  const std::string store = HostKey() + "\\Components\\DavIrizevez.CCDavIrizevez\\SPManager";
  const auto everyTime = [&] {
    const auto value =
        startup::testing::GetValue(platform(), platform::kHKeyLocalMachine, store, "EveryTime");
    return value ? value->text : "<missing>";
  };

  component_->ApplyWindowSettingXML(Document(
      "<StartProgramManager Protected=\"True\"><RunKeyList><RunKey HKey=\"-2147483646\" Path=\"" +
      run +
      "\" Name=\"Tool\" Command=\"tool.exe\" IsPrevStart=\"False\" Checked=\"True\" "
      "Deleted=\"False\" /></RunKeyList></StartProgramManager>"));
  EXPECT_EQ(everyTime(), "1");
  const auto tool =
      startup::testing::GetValue(platform(), platform::kHKeyLocalMachine, run, "Tool");
  EXPECT_TRUE(tool && tool->text == "tool.exe") << "EditStartReg writes the approved entry";

  component_->ApplyWindowSettingXML(Legacy("1"));
  EXPECT_EQ(everyTime(), "1") << "a document without the section leaves the protection as it is";
}

TEST_F(LegacyDocumentsTest, DesktopIconsGoToTheDesktopIconManager) {
  const CCDavIrizevez::Fields& fields = component_->fields();
  ASSERT_EQ(platform().files().WriteAll(fields.userDesktopFolder + "\\A.lnk", "x"),
            platform::kErrorSuccess);
  // The special icons first, then the approved files.
  component_->ApplyWindowSettingXML(Document(
      "<DesktopIconManager Protected=\"True\"><IconList><Icon FileName=\"내 컴퓨터\" "
      "Checked=\"1\" /><Icon FileName=\"내 문서\" Checked=\"1\" /><Icon FileName=\"내 "
      "네트워크 환경\" Checked=\"1\" /><Icon FileName=\"휴지통\" Checked=\"1\" /><Icon "
      "FileName=\"Internet Explorer\" Checked=\"1\" /><Icon FileName=\"A.lnk\" Checked=\"1\" "
      "/><Icon FileName=\"..\\..\\boot.ini\" Checked=\"1\" /></IconList>"
      "</DesktopIconManager>"));
  EXPECT_NE(platform().files().GetAttributes(fields.desktopBackupFolder + "\\A.lnk"),
            platform::kInvalidAttributes)
      << "the approved icon is backed up";
  EXPECT_NE(Log().find("[skip:CCDavIrizevez.Apply] icon file name \"..\\..\\boot.ini\""),
            std::string::npos)
      << Log();
  EXPECT_TRUE(Saved());

  // A section not read whole (an icon without Checked) changes no icon.
  component_->ApplyWindowSettingXML(
      Document("<DesktopIconManager Protected=\"True\"><IconList><Icon FileName=\"x\" /><Icon "
               "FileName=\"x\" Checked=\"1\" /><Icon FileName=\"x\" Checked=\"1\" /><Icon "
               "FileName=\"x\" Checked=\"1\" /><Icon FileName=\"x\" Checked=\"1\" /><Icon "
               "FileName=\"B.lnk\" Checked=\"1\" /></IconList></DesktopIconManager>"));
  EXPECT_NE(platform().files().GetAttributes(fields.userDesktopFolder + "\\A.lnk"),
            platform::kInvalidAttributes)
      << "A.lnk stays on the desktop";
  EXPECT_NE(platform().files().GetAttributes(fields.desktopBackupFolder + "\\A.lnk"),
            platform::kInvalidAttributes)
      << "and in the backup";
}

}  // namespace
}  // namespace dav::core::testing
