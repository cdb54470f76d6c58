#include "catalogue/access.h"

#include <gtest/gtest.h>

#include "catalogue/tests/system_sections_fixture.h"

namespace dav::catalogue::system_testing {
namespace {

using modDavIrizevez::XMLStringFolderAccess;
using modDavIrizevez::XMLStringUsedAccess;

void Apply(SystemMachine& pc, const std::string& section, const std::string& rows) {
  const xml::Document document = LoadSysDocument("<" + section + ">" + rows + "</" + section + ">");
  const xml::NodeList nodes = document.selectNodes("DocRoot/Configuration/" + section + "/Row");
  if (section == "UsedAccess") modDavIrizevez::GetXMLUsedAccess(pc.ctx(), nodes);
  if (section == "FolderAccess") modDavIrizevez::GetXMLFolderAccess(pc.ctx(), nodes);
}

std::string RowOf(const std::string& id, const std::string& value) {
  return "<Row ID=\"" + id + "\" Value=\"" + value + "\" />\r\n";
}

TEST(UsedAccessProducer, RowsFromPolicyValues) {
  SystemMachine pc(true, false);
  EXPECT_EQ(XMLStringUsedAccess(pc.ctx()),
            "<UsedAccess>\r\n" + RowOf("CmdPrompt", "0") + RowOf("RegEdition", "0") +
                RowOf("TaskManager", "0") + RowOf("NoPropertiesMyComputer", "0") +
                RowOf("ClassicViewState", "0") + RowOf("NoViewOnDrive", "0") +
                RowOf("NoDrives", "0") + RowOf("DriveSettings", std::string(26, '0')) +
                RowOf("Display", "0") + "</UsedAccess>\r\n");

  pc.reg().WriteDWORD(kHKCU, kCommandPolicies, "DisableCMD", 2);
  pc.reg().WriteDWORD(kHKCU, kSystemPolicies, "DisableRegistryTools", 2);
  pc.reg().WriteDWORD(kHKLM, kExplorerPolicies, "NoDrives", 4);
  pc.reg().WriteDWORD(kHKLM, kExplorerPolicies, "NoViewOnDrive", 0);
  for (const char* page :
       {"NoDispBackgroundPage", "NoDispScrSavPage", "NoDispAppearancePage", "NoDispSettingsPage"}) {
    pc.reg().WriteDWORD(kHKCU, kSystemPolicies, page, 1);
  }
  std::string text = XMLStringUsedAccess(pc.ctx());
  EXPECT_NE(text.find(RowOf("CmdPrompt", "1") + RowOf("RegEdition", "2")), std::string::npos)
      << "DisableCMD is read as a flag, DisableRegistryTools raw\n"
      << text;
  EXPECT_NE(text.find(RowOf("NoViewOnDrive", "0") + RowOf("NoDrives", "1") +
                      RowOf("DriveSettings", "00100000000000000000000000") + RowOf("Display", "0")),
            std::string::npos)
      << "NoDrives 4 is drive C:; Display needs all five pages, NoThemesTab is missing\n"
      << text;
  pc.reg().WriteDWORD(kHKCU, kExplorerPolicies, "NoThemesTab", 1);
  pc.reg().WriteDWORD(kHKLM, kExplorerPolicies, "NoViewOnDrive", 1);
  text = XMLStringUsedAccess(pc.ctx());
  EXPECT_NE(text.find(RowOf("DriveSettings", "10100000000000000000000000") + RowOf("Display", "1")),
            std::string::npos)
      << "the drive text shows NoDrives OR NoViewOnDrive\n"
      << text;
}

TEST(UsedAccessApplier, FlagRowsWritePoliciesMarkWindowsAndStopAtANonNumber) {
  SystemMachine pc(true, false);
  pc.reg().WriteDWORD(kHKCU, kExplorerPolicies, "NoFolderOptions", 1);
  Apply(pc, "UsedAccess",
        RowOf("CMDPROMPT", "1") + RowOf("NoPropertiesMyComputer", "1") +
            RowOf("ClassicViewState", "0") + RowOf("Display", "1"));
  for (auto hive : {kHKCU, kHKLM}) {
    EXPECT_EQ(pc.Dword(hive, kCommandPolicies, "DisableCMD"), 1) << "IDs compare without case";
    EXPECT_EQ(pc.Dword(hive, kExplorerPolicies, "NoPropertiesMyComputer"), 1);
  }
  EXPECT_EQ(pc.Dword(kHKCU, kExplorerPolicies, "NoFolderOptions"), SystemMachine::kMissing);
  EXPECT_EQ(pc.Dword(kHKCU, kExplorerPolicies, "NoThemesTab"), 1);
  EXPECT_EQ(pc.Dword(kHKCU, kSystemPolicies, "NoDispSettingsPage"), 1);
  const WindowClosingFlags& closing = pc.requests.closing;
  EXPECT_TRUE(closing.commandPrompt && closing.systemProperties);
  EXPECT_FALSE(closing.registryEditor || closing.taskManager);

  Apply(pc, "UsedAccess",
        RowOf("CmdPrompt", "0") + RowOf("NoPropertiesMyComputer", "0") + RowOf("TaskManager", "1") +
            RowOf("TaskManager", "abc") + RowOf("RegEdition", "1"));
  for (auto hive : {kHKCU, kHKLM}) {
    EXPECT_EQ(pc.Dword(hive, kCommandPolicies, "DisableCMD"), 0);
    EXPECT_EQ(pc.Dword(hive, kExplorerPolicies, "NoPropertiesMyComputer"), SystemMachine::kMissing);
    EXPECT_EQ(pc.Dword(hive, kSystemPolicies, "DisableTaskMgr"), 1)
        << "TaskManager \"abc\" is refused, not read as off";
    EXPECT_EQ(pc.Dword(hive, kSystemPolicies, "DisableRegistryTools"), SystemMachine::kMissing)
        << "rows after the failing one are not applied";
  }
  EXPECT_TRUE(closing.commandPrompt) << "the applier never clears a closing flag";
  EXPECT_TRUE(closing.taskManager && !closing.registryEditor);
  EXPECT_NE(pc.LogText().find("[err:modDavIrizevez.GetXMLUsedAccess] line 40, 13, "),
            std::string::npos);
}

TEST(UsedAccessApplier, DriveSettingsWriteTheChosenDrivePolicies) {
  SystemMachine pc(true, false);
  auto drives = [&] {
    return std::to_string(pc.Dword(kHKLM, kExplorerPolicies, "NoDrives")) + "/" +
           std::to_string(pc.Dword(kHKLM, kExplorerPolicies, "NoViewOnDrive"));
  };
  Apply(pc, "UsedAccess",
        RowOf("NoViewOnDrive", "1") + RowOf("NoDrives", "0") +
            RowOf("DriveSettings", "11000000000000000000000000"));
  EXPECT_EQ(drives(), "0/3") << "A: and B: hidden from view only";
  Apply(pc, "UsedAccess",
        RowOf("NoDrives", "1") + RowOf("DriveSettings", "00000000000000000000000001"));
  EXPECT_EQ(drives(), "33554432/0") << "Z: is the last character; NoViewOnDrive starts \"0\"";
  Apply(pc, "UsedAccess", RowOf("DriveSettings", "11111111111111111111111111"));
  EXPECT_EQ(drives(), "0/0") << "without the two choosing rows both are 0";
  pc.reg().WriteDWORD(kHKLM, kExplorerPolicies, "NoDrives", 5);
  for (const char* bad : {"1100", "1x000000000000000000000000"}) {
    Apply(pc, "UsedAccess", RowOf("NoDrives", "1") + RowOf("DriveSettings", bad));
    EXPECT_EQ(drives(), "5/0") << "DriveSettings \"" << bad << "\" must end the applier unwritten";
  }
}

TEST(FolderAccessSection, Base64IniFileWithPathsInKeyOrder) {
  SystemMachine pc(true, false);
  const std::string empty = "<FolderAccess>\r\n" + RowOf("FolderAccess", "0") +
                            RowOf("LowAccess", "0") + RowOf("Path", "") + "</FolderAccess>\r\n";
  EXPECT_EQ(XMLStringFolderAccess(pc.ctx()), empty) << "no file: both flags \"0\", no paths";

  pc.SetIni("value", "2", "b2xk");
  Apply(
      pc, "FolderAccess",
      RowOf("FolderAccess", "1") + RowOf("LowAccess", "0") + RowOf("Path", "C:\\\\Data|D:\\Docs"));
  EXPECT_EQ(pc.Ini("setting", "0") + " " + pc.Ini("setting", "1"), "MQ== MA==");
  EXPECT_EQ(pc.Ini("value", "0"), "QzpcRGF0YQ==") << "C:\\Data, the doubled backslash made one";
  EXPECT_EQ(pc.Ini("value", "1"), "RDpcRG9jcw==") << "D:\\Docs";
  EXPECT_EQ(pc.Ini("value", "2"), "<missing>") << "a Path row replaces every older path";
  EXPECT_NE(
      XMLStringFolderAccess(pc.ctx()).find(RowOf("FolderAccess", "1") + RowOf("LowAccess", "0") +
                                           RowOf("Path", "C:\\Data|D:\\Docs")),
      std::string::npos);

  pc.SetIni("value", "1", "");
  pc.SetIni("value", "2", "b2xk");
  EXPECT_NE(XMLStringFolderAccess(pc.ctx()).find(RowOf("Path", "C:\\Data")), std::string::npos)
      << "the paths end at the first key that reads empty";

  // A path of more than 57 bytes (its Base64 form has a line break), one with the document's
  // special characters, and empty pieces, which would leave a gap in the keys.
  const std::string longPath = "C:\\Documents and Settings\\All Users\\시작 메뉴\\프로그램\\보호";
  Apply(pc, "FolderAccess", RowOf("Path", longPath + "||D:\\R&amp;D &lt;&quot;x&quot;&gt;|"));
  const xml::Document produced = LoadSysDocument(XMLStringFolderAccess(pc.ctx()));
  EXPECT_EQ(
      produced.selectSingleNode("DocRoot/Configuration/FolderAccess/Row[@ID='Path']/@Value").text(),
      longPath + "|D:\\R&D <\"x\">");
}

std::string FolderAccessFilePath(SystemMachine& pc) {
  return pc.ctx().log.componentFolder() + "\\qrlSysConfig.ini";
}

// The folder protection reads the file itself: the applier must leave the layout that the
// profile-string calls make, change only the folder access sections, and take the file from
// the old whole list to the new one in one write.
TEST(FolderAccessSection, TheFileKeepsItsLayoutAndItsOtherLines) {
  SystemMachine pc(true, false);
  platform::FileSystem& files = pc.ctx().log.platform().files();
  Apply(pc, "FolderAccess",
        RowOf("FolderAccess", "1") + RowOf("LowAccess", "0") + RowOf("Path", "C:\\Data|D:\\Docs"));
  std::string bytes;
  ASSERT_EQ(files.ReadAll(FolderAccessFilePath(pc), &bytes), platform::kErrorSuccess);
  EXPECT_EQ(bytes,
            "[setting]\r\n0=MQ==\r\n1=MA==\r\n[value]\r\n0=QzpcRGF0YQ==\r\n1=RDpcRG9jcw==\r\n");

  ASSERT_EQ(files.WriteAll(FolderAccessFilePath(pc),
                           "; kept\r\n[value]\r\n0=b2xk\r\n1=b2xk\r\n2=b2xk\r\n\r\n"
                           "[setting]\r\n2=extra\r\n0=MA==\r\n[other]\r\nk=v"),
            platform::kErrorSuccess);
  Apply(pc, "FolderAccess", RowOf("Path", "E:\\") + RowOf("FolderAccess", "1"));
  ASSERT_EQ(files.ReadAll(FolderAccessFilePath(pc), &bytes), platform::kErrorSuccess);
  // Windows writes the whole file anew (blank lines between sections may go); the lines
  // and their order stay.
  EXPECT_EQ(bytes.rfind("; kept\r\n[value]\r\n0=RTpc\r\n", 0), 0u) << bytes;
  EXPECT_NE(bytes.find("[setting]\r\n2=extra\r\n0=MQ==\r\n[other]\r\nk=v"), std::string::npos)
      << "older paths gone, the setting changed in its place, other lines as they were:\n"
      << bytes;

  Apply(pc, "FolderAccess", RowOf("Path", ""));
  ASSERT_EQ(files.ReadAll(FolderAccessFilePath(pc), &bytes), platform::kErrorSuccess);
  EXPECT_EQ(bytes.find("[value]"), std::string::npos) << "no paths: no [value] section";
}

// Many paths are written and read back in one pass each (the figures are in bench/).
TEST(FolderAccessSection, ManyPathsRoundTrip) {
  SystemMachine pc(true, false);
  std::string list;
  for (int i = 0; i < 3000; ++i) list += (i ? "|C:\\Data\\" : "C:\\Data\\") + std::to_string(i);
  Apply(pc, "FolderAccess", RowOf("Path", list));
  EXPECT_EQ(pc.Ini("value", "2999"), "QzpcRGF0YVwyOTk5");
  std::erase(list, '\\');
  std::string produced = XMLStringFolderAccess(pc.ctx());
  std::erase(produced, '\\');
  EXPECT_NE(produced.find(RowOf("Path", list)), std::string::npos);
}

}  // namespace
}  // namespace dav::catalogue::system_testing
