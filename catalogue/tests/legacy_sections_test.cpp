// The legacy document's sections: the registry places each row reaches, the window-closing
// flags, and failures handed to the error reporter.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "catalogue/document_conventions.h"
#include "catalogue/legacy_browser_sections.h"
#include "catalogue/legacy_drive_sections.h"
#include "catalogue/legacy_system_sections.h"
#include "catalogue/tests/window_sections_fixture.h"
#include "util/run_time_error.h"

namespace dav::catalogue {
namespace {

using namespace modDavIrizevez;
using platform::KeyHandle;
using platform::kHKeyClassesRoot;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;
using testing::kAdvancedKey;
using testing::kPoliciesKey;
using testing::kShellFoldersKey;
using testing::LoadDocument;
using testing::RowXml;
using testing::SectionMachine;

constexpr const char* kSystemPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr const char* kCommandPolicies = "Software\\Policies\\Microsoft\\Windows\\System";
constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* kUninstallPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall";
constexpr const char* kTestProgram =
    "Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\DavTestProgram";
constexpr const char* kComponentKey = "Software\\DavTest\\Components\\DavIrizevez.CCDavIrizevez";
constexpr const char* kMediaPlayer = "Software\\Microsoft\\MediaPlayer\\Player";
constexpr const char* kRealPlayer = "Software\\RealNetworks\\RealPlayer\\6.0\\Preferences";
constexpr const char* kBrowserMain = "Software\\Microsoft\\Internet Explorer\\Main";

// A machine whose legacy places are put back as they were when the test ends.
class LegacyMachine : public SectionMachine {
 public:
  LegacyMachine()
      : SectionMachine(true, false,
                       {{kHKeyCurrentUser, kSystemPolicies},
                        {kHKeyLocalMachine, kSystemPolicies},
                        {kHKeyCurrentUser, kCommandPolicies},
                        {kHKeyLocalMachine, kCommandPolicies},
                        {kHKeyCurrentUser, kUserShellFolders},
                        {kHKeyLocalMachine, kCurrentVersion},
                        {kHKeyLocalMachine, std::string(kCurrentVersion) + "\\Setup"},
                        {kHKeyClassesRoot, "lnkfile"},
                        {kHKeyClassesRoot, "InternetShortcut"},
                        {kHKeyCurrentUser, kExplorerKey},
                        {kHKeyCurrentUser, kUninstallPolicies},
                        {kHKeyLocalMachine, kUninstallPolicies},
                        {kHKeyLocalMachine, kTestProgram},
                        {kHKeyLocalMachine, kComponentKey},
                        {kHKeyLocalMachine, "Software\\DavTest\\Components"},
                        {kHKeyLocalMachine, "Software\\DavTest"}}) {}

  // A section's rows (and further elements) as the document applier selects them.
  xml::NodeList Rows(const std::string& section, const std::string& body,
                     const std::string& path = "Row") {
    docs_.push_back(LoadDocument("<" + section + ">" + body + "</" + section + ">"));
    return docs_.back().selectNodes("DocRoot/Configuration/" + section + "/" + path);
  }
  std::optional<std::vector<std::uint8_t>> Binary(KeyHandle hive, const std::string& key,
                                                  const std::string& name) {
    return ctx().registry.ReadBinary(hive, key, name);
  }
  bool KeyExists(KeyHandle hive, const std::string& key) {
    KeyHandle handle = platform::kNoKey;
    if (platform().registry().OpenKey(hive, key, &handle) != platform::kErrorSuccess) return false;
    platform().registry().CloseKey(handle);
    return true;
  }
  void MakeKey(KeyHandle hive, const std::string& key) {
    KeyHandle handle = platform::kNoKey;
    ASSERT_EQ(platform().registry().CreateKey(hive, key, &handle), platform::kErrorSuccess);
    platform().registry().CloseKey(handle);
  }
  // Both hives' DWORDs as "HKCU,HKLM".
  std::string Both(const std::string& key, const std::string& name) {
    return std::to_string(Dword(kHKeyCurrentUser, key, name)) + "," +
           std::to_string(Dword(kHKeyLocalMachine, key, name));
  }

 private:
  std::vector<xml::Document> docs_;
};

// The source of the failure an applier raised, or "" when it raised none.
template <typename Apply>
std::string RaisedFrom(Apply&& apply) {
  try {
    apply();
  } catch (const util::RunTimeError& e) {
    return e.source();
  }
  return {};
}

TEST(LegacySystemSectionsTest, SysMngrBlocksOnlyForOneAndMarksWhatToClose) {
  LegacyMachine m;
  m.requests.closing = {true, true, true, true};
  GetXMLSysMngr(m.ctx(),
                m.Rows("SysMngr", RowXml("CmdPrompt", "2") + RowXml("TaskManager", "1") +
                                      RowXml("NumLockStatus", "1") + RowXml("Document", "1")),
                kComponentKey);
  EXPECT_EQ(m.Both(kCommandPolicies, "DisableCMD"), "0,0") << "\"2\" is not \"1\"";
  EXPECT_EQ(m.Both(kSystemPolicies, "DisableTaskMgr"), "1,1");
  EXPECT_FALSE(m.requests.closing.commandPrompt) << "cleared before the rows";
  EXPECT_FALSE(m.requests.closing.registryEditor) << "cleared before the rows";
  EXPECT_TRUE(m.requests.closing.taskManager);
  EXPECT_TRUE(m.requests.closing.systemProperties) << "not SysMngr's flag";
  EXPECT_EQ(m.Text(kHKeyCurrentUser, "Control Panel\\Keyboard", "InitialKeyboardIndicators"), "2");
  EXPECT_EQ(m.Text(kHKeyLocalMachine, kComponentKey, "EnableAutoDocumentURL"), "1");
  EXPECT_NE(m.LogText().find("cmdprompt=2"), std::string::npos) << m.LogText();

  GetXMLSysMngr(m.ctx(),
                m.Rows("SysMngr", RowXml("REGEDITION", "1") + RowXml("NumLockStatus", "0")),
                kComponentKey);
  EXPECT_EQ(m.Both(kSystemPolicies, "DisableRegistryTools"), "1,1");
  EXPECT_TRUE(m.requests.closing.registryEditor);
  EXPECT_FALSE(m.requests.closing.taskManager);
  EXPECT_FALSE(m.Exists(kHKeyCurrentUser, "Control Panel\\Keyboard", "InitialKeyboardIndicators"));
}

TEST(LegacySystemSectionsTest, WindowShellRows) {
  LegacyMachine m;
  m.requests.closing.systemProperties = true;
  GetXMLWindowShell(
      m.ctx(), m.Rows("WindowShell", RowXml("NoSaveSetting", "1") + RowXml("WindowViewState", "1") +
                                         RowXml("HideFileExtension", "1")));
  EXPECT_EQ(m.Binary(kHKeyCurrentUser, kPoliciesKey, "NoSaveSettings"),
            (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kAdvancedKey, "ClassicViewState"), 0);
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kAdvancedKey, "HideFileExt"), 1);
  EXPECT_FALSE(m.requests.closing.systemProperties) << "cleared by a non-empty list";

  GetXMLWindowShell(
      m.ctx(), m.Rows("WindowShell", RowXml("NoSaveSetting", "2") + RowXml("WindowViewState", "0") +
                                         RowXml("NoPropertiesMyComputer", "1") +
                                         RowXml("ClassicViewState", "1")));
  EXPECT_EQ(m.Binary(kHKeyCurrentUser, kPoliciesKey, "NoSaveSettings"),
            (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kAdvancedKey, "ClassicViewState"), 1);
  EXPECT_EQ(m.Both(kPoliciesKey, "NoPropertiesMyComputer"), "1,1");
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kPoliciesKey, "NoFolderOptions"), 1);
  EXPECT_TRUE(m.requests.closing.systemProperties);

  GetXMLWindowShell(m.ctx(), m.Rows("WindowShell", ""));
  EXPECT_TRUE(m.requests.closing.systemProperties) << "an empty list leaves the flag";
}

TEST(LegacySystemSectionsTest, FolderSetWritesBothShellFolderKeysOrOneMachineValue) {
  LegacyMachine m;
  const std::string before = m.Text(kHKeyCurrentUser, kShellFoldersKey, "ProgramFilesDir");
  GetXMLFolderSet(m.ctx(), m.Rows("FolderSet", RowXml("ProgramFiles", "D:\\Programs") +
                                                   RowXml("MyDocuments", "D:\\내 문서") +
                                                   RowXml("ProhibitMyDocuFolder", "1")));
  EXPECT_EQ(m.Text(kHKeyLocalMachine, kCurrentVersion, "ProgramFilesDir"), "D:\\Programs");
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kShellFoldersKey, "ProgramFilesDir"), before);
  EXPECT_FALSE(m.Exists(kHKeyCurrentUser, kUserShellFolders, "ProgramFilesDir"));
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kShellFoldersKey, "Personal"), "D:\\내 문서");
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kUserShellFolders, "Personal"), "D:\\내 문서");
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, kPoliciesKey, "DisablePersonalDirChange"), 1);
}

// Every FolderSet row and the value it names: the user's folders in both shell folder keys,
// the two machine-wide folders in their own key.
TEST(LegacySystemSectionsTest, EachFolderSetRowNamesItsOwnValue) {
  LegacyMachine m;
  struct Place {
    const char* id;
    const char* name;
    const char* machineKey;  // null: the user's two shell folder keys
  };
  const std::vector<Place> places = {
      {"Desktop", "Desktop", nullptr},
      {"MyDocuments", "Personal", nullptr},
      {"MyPictures", "My Pictures", nullptr},
      {"ProgramFiles", "ProgramFilesDir", kCurrentVersion},
      {"StartMenu", "Start Menu", nullptr},
      {"Application", "Programs", nullptr},
      {"StartProgram", "Startup", nullptr},
      {"RecentDocument", "Recent", nullptr},
      {"DocuTemplate", "Templates", nullptr},
      {"Fonts", "Fonts", nullptr},
      {"Favorites", "Favorites", nullptr},
      {"OpenPageList", "History", nullptr},
      {"SendTo", "SendTo", nullptr},
      {"WindowSetupFolder", "SourcePath", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup"},
  };
  std::string rows;
  for (const Place& place : places) rows += RowXml(place.id, std::string("X:\\") + place.id);
  GetXMLFolderSet(m.ctx(), m.Rows("FolderSet", rows));
  for (const Place& place : places) {
    const std::string expected = std::string("X:\\") + place.id;
    if (place.machineKey != nullptr) {
      EXPECT_EQ(m.Text(kHKeyLocalMachine, place.machineKey, place.name), expected) << place.id;
    } else {
      EXPECT_EQ(m.Text(kHKeyCurrentUser, kShellFoldersKey, place.name), expected) << place.id;
      EXPECT_EQ(m.Text(kHKeyCurrentUser, kUserShellFolders, place.name), expected) << place.id;
    }
  }
}

TEST(LegacySystemSectionsTest, DisplayConfigRowsAndTheDisplayModeOfOneForm) {
  LegacyMachine m;
  const std::string rows = RowXml("FastLinkView", "1") + RowXml("URLView", "0") +
                           RowXml("WordsView", "0") + RowXml("RebootDisplay", "1");
  const std::string list =
      "<DisplayList DPFirst=\"800 x 600\" ColorQuality=\"16 bit\" Hz=\"75 Hz\" />";
  m.SetText(kHKeyClassesRoot, "lnkfile", "IsShortcut", "");
  GetXMLDisplay(m.ctx(), m.Rows("DisplayConfig", rows + list),
                m.Rows("DisplayConfig", rows + list, "DisplayList"));
  EXPECT_FALSE(m.Exists(kHKeyClassesRoot, "lnkfile", "IsShortcut"));
  EXPECT_TRUE(m.Exists(kHKeyClassesRoot, "InternetShortcut", "IsShortcut"));
  EXPECT_EQ(m.Binary(kHKeyCurrentUser, kExplorerKey, "link"),
            (std::vector<std::uint8_t>{0x15, 0, 0, 0}));
  EXPECT_EQ(m.Client("RebootDisplay"), "1");
  EXPECT_EQ(m.Client("DisplayList"), "800 x 600*16*75");
  EXPECT_EQ(m.requests.display.width + "," + m.requests.display.refresh, "800,75");

  // The manager's form: rows only, the display mode left alone.
  GetXMLDisplay(m.ctx(), m.Rows("DisplayConfig", RowXml("WordsView", "1") +
                                                     "<DisplayList DPFirst=\"1024 x 768\" "
                                                     "ColorQuality=\"32 bit\" Hz=\"60 Hz\" />"));
  EXPECT_EQ(m.Binary(kHKeyCurrentUser, kExplorerKey, "link"),
            (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(m.Client("DisplayList"), "800 x 600*16*75");

  const std::string bad =
      "<DisplayList DPFirst=\"1024X768\" ColorQuality=\"32 bit\" Hz=\"60 Hz\" />";
  EXPECT_EQ(RaisedFrom([&] {
              GetXMLDisplay(m.ctx(), m.Rows("DisplayConfig", ""),
                            m.Rows("DisplayConfig", bad, "DisplayList"));
            }),
            "modDavIrizevez.GetXMLDisplay");
  EXPECT_EQ(m.Client("DisplayList"), "800 x 600*16*75") << "a malformed mode changes nothing";
}

TEST(LegacyDriveSectionsTest, DiskMngrDrivesAutorunAndNetworkDrives) {
  LegacyMachine m;
  GetXMLDiskMngr(
      m.ctx(), m.Rows("DiskMngr", RowXml("HideDrive", "1") + RowXml("NoAdmissionDrive", "0") +
                                      RowXml("DriveSettings", "10100000000000000000000000") +
                                      RowXml("AutorunUse", "0") + RowXml("NetworkDriveSet", "1")));
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoDrives"), 5);
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoViewOnDrive"), 0);
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoDriveTypeAutoRun"), 255);
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoNetConnectDisconnect"), 1);

  // The remembered choices start over at every call and count only before DriveSettings.
  GetXMLDiskMngr(
      m.ctx(), m.Rows("DiskMngr", RowXml("DriveSettings", "00100000000000000000000000") +
                                      RowXml("NoAdmissionDrive", "1") + RowXml("AutorunUse", "1") +
                                      RowXml("NetworkDriveSet", "0")));
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoDrives"), 0);
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoViewOnDrive"), 0);
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoDriveTypeAutoRun"), 0);
  EXPECT_FALSE(m.Exists(kHKeyLocalMachine, kPoliciesKey, "NoNetConnectDisconnect"));

  EXPECT_EQ(RaisedFrom([&] {
              GetXMLDiskMngr(m.ctx(), m.Rows("DiskMngr", RowXml("HideDrive", "1") +
                                                             RowXml("DriveSettings", "1")));
            }),
            "modDavIrizevez.GetXMLDiskMngr");
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoDrives"), 0) << "not written";
}

TEST(LegacyDriveSectionsTest, DisplayPagesPrintersAndPrograms) {
  LegacyMachine m;
  GetXMLDisplayControl(m.ctx(), m.Rows("DisplayControl", RowXml("NoThemeChange", "1") +
                                                             RowXml("NoConfigPageChange", "0")));
  EXPECT_EQ(m.Both(kPoliciesKey, "NoThemesTab"), "1,1");
  EXPECT_EQ(m.Both(kSystemPolicies, "NoDispSettingsPage"), "0,0");

  GetXMLNPConfig(m.ctx(), m.Rows("NPConfig", RowXml("NetworkIconDel", "1") +
                                                 RowXml("NoPrinterDriverInsert", "1")));
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoNetHood"), 1);
  EXPECT_EQ(m.Both(kPoliciesKey, "NoAddPrinter"), "1," + std::to_string(SectionMachine::kMissing));

  const std::string apps =
      "<AppList ID=\"DavTestProgram\" DisplayName=\"시험\" Value=\"0\" />"
      "<AppList ID=\"\" DisplayName=\"빈\" Value=\"0\" />"
      "<AppList ID=\"DavTestProgram\\..\\..\\Run\" DisplayName=\"밖\" Value=\"0\" />";
  GetXMLAppwiz(m.ctx(), m.Rows("Appwiz", apps, "AppList"),
               m.Rows("Appwiz", RowXml("NoAddPage", "2") + RowXml("NoRemovePage", "1")));
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kTestProgram, "SystemComponent"), 1) << "Value 0 hides";
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall",
                    "SystemComponent"),
            SectionMachine::kMissing)
      << "an empty ID must not reach the UnInstall key itself";
  EXPECT_EQ(m.Both(kUninstallPolicies, "NoAddPage"), "0,0");
  EXPECT_EQ(m.Both(kUninstallPolicies, "NoRemovePage"), "1,1");
  EXPECT_NE(m.LogText().find("[skip:modDavIrizevez.GetXMLAppwiz] program ID \"\""),
            std::string::npos);
  EXPECT_NE(m.LogText().find("program ID \"davtestprogram\\..\\..\\run\""), std::string::npos);

  GetXMLAppwiz(m.ctx(),
               m.Rows("Appwiz", "<AppList ID=\"DavTestProgram\" Value=\"1\" />", "AppList"), {});
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kTestProgram, "SystemComponent"), 0);
}

TEST(LegacyBrowserSectionsTest, BrowserTitleFolderAndOptions) {
  LegacyMachine m;
  const auto apply = [&](const std::string& title) {
    const std::string body = RowXml("NoToolUse", "1") + "<ExConfig TitleBar=\"" + title +
                             "\" DownFolder=\"D:\\받은 파일\" />";
    GetXMLIExConfig(m.ctx(), m.Rows("IExConfig", body), m.Rows("IExConfig", body, "ExConfig"));
  };
  apply("PC방");
  EXPECT_EQ(m.Text(kHKeyCurrentUser, kBrowserMain, "Window Title"), "PC방");
  EXPECT_EQ(
      m.Text(kHKeyCurrentUser, "Software\\Microsoft\\Internet Explorer", "Download Directory"),
      "D:\\받은 파일");
  EXPECT_EQ(m.Dword(kHKeyLocalMachine, kPoliciesKey, "NoToolbarCustomize"), 1);
  apply("Microsoft Internet Explorer");
  EXPECT_FALSE(m.Exists(kHKeyCurrentUser, kBrowserMain, "Window Title"));

  const std::string options = "<General>" + RowXml("NoHomePageConfig", "1") +
                              "</General><Preservation>" + RowXml("PvPageDel", "1") +
                              "</Preservation><Link>" + RowXml("NoLANProxyConfig", "0") + "</Link>";
  GetXMLInternetOption(m.ctx(), m.Rows("InternetOption", options, "General/Row"),
                       m.Rows("InternetOption", options, "Preservation/Row"),
                       m.Rows("InternetOption", options, "Link/Row"));
  const std::string panel = "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, panel, "HomePage"), 1);
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, panel, "SecurityTab"), 1);
  EXPECT_EQ(m.Dword(kHKeyCurrentUser, panel, "Proxy"), 0);
}

// The last position of the packed text (WordPad's recent files) is cleared when it holds a 1,
// and a text one character short does not reach it.
TEST(LegacyBrowserSectionsTest, FileOrderReachesItsLastPositionAndNoFurther) {
  LegacyMachine m;
  const std::string wordPad = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad";
  const std::string list = wordPad + "\\Recent File List";
  for (const auto& [packed, cleared] :
       std::vector<std::pair<std::string, bool>>{{"00001", false}, {"000001", true}}) {
    SCOPED_TRACE("DelList \"" + packed + "\"");
    for (KeyHandle hive : {kHKeyCurrentUser, kHKeyLocalMachine}) m.MakeKey(hive, list);
    GetXMLFileOrder(m.ctx(), m.Rows("FileOrder", RowXml("DelList", packed)));
    EXPECT_EQ(m.KeyExists(kHKeyCurrentUser, list), !cleared);
    EXPECT_EQ(m.KeyExists(kHKeyLocalMachine, list), !cleared);
  }
  for (KeyHandle hive : {kHKeyCurrentUser, kHKeyLocalMachine}) {
    m.platform().registry().DeleteKey(hive, list);
    m.platform().registry().DeleteKey(hive, wordPad);
  }
}

TEST(LegacyBrowserSectionsTest, FileOrderClearsTheListsItsPositionsAskFor) {
  LegacyMachine m;
  const std::vector<std::string> lists = {
      std::string(kMediaPlayer) + "\\RecentFileList", std::string(kMediaPlayer) + "\\RecentURLList",
      std::string(kRealPlayer) + "\\MostRecentClips1",
      std::string(kRealPlayer) + "\\MostRecentClips8",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List"};
  for (const std::string& key : lists) {
    for (KeyHandle hive : {kHKeyCurrentUser, kHKeyLocalMachine}) m.MakeKey(hive, key);
  }
  GetXMLFileOrder(m.ctx(),
                  m.Rows("FileOrder", RowXml("DelList", "101000") + RowXml("RebootAutoDel", "1") +
                                          RowXml("DelList", "111111")));
  for (KeyHandle hive : {kHKeyCurrentUser, kHKeyLocalMachine}) {
    const char* in = hive == kHKeyCurrentUser ? " (HKCU)" : " (HKLM)";
    EXPECT_FALSE(m.KeyExists(hive, lists[0])) << lists[0] << in;
    EXPECT_FALSE(m.KeyExists(hive, lists[2])) << lists[2] << in;
    EXPECT_FALSE(m.KeyExists(hive, lists[3])) << lists[3] << in;
  }
  EXPECT_EQ(m.Client("DelList"), "101000") << "the first DelList is kept";
  EXPECT_EQ(m.Client("RebootAutoDel"), "1");
  EXPECT_FALSE(m.KeyExists(kHKeyCurrentUser, lists[4])) << "the second DelList clears too";

  GetXMLFileOrder(m.ctx(), m.Rows("FileOrder", RowXml("RebootAutoDel", "0")));
  EXPECT_TRUE(m.Exists(kHKeyLocalMachine, kClientKey, "DelList") &&
              m.Client("DelList") == "<missing>")
      << "without a DelList row the empty text is kept, not " << m.Client("DelList");

  for (KeyHandle hive : {kHKeyCurrentUser, kHKeyLocalMachine}) {
    for (const char* key : {kMediaPlayer, "Software\\Microsoft\\MediaPlayer", kRealPlayer,
                            "Software\\RealNetworks\\RealPlayer\\6.0",
                            "Software\\RealNetworks\\RealPlayer", "Software\\RealNetworks"}) {
      m.platform().registry().DeleteKey(hive, key);
    }
  }
}

}  // namespace
}  // namespace dav::catalogue
