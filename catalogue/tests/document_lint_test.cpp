// The document linter on small documents, one fault family per test.
#include "catalogue/document_lint.h"

#include <gtest/gtest.h>

namespace dav::catalogue {
namespace {

std::string Doc(const std::string& body, const std::string& encoding = "utf-8") {
  return "<?xml version=\"1.0\" encoding=\"" + encoding +
         "\"?>\r\n<DocRoot><Configuration SpecVersion=\"1.0.0\">\r\n" + body +
         "</Configuration></DocRoot>\r\n";
}

// Window sections without the rest of their document are checked as the manager's document,
// which holds them but none of the list sections the window document needs.
constexpr DocumentKind kFragment = DocumentKind::kManager;

// The display mode a window document applied with a shell restart needs.
constexpr const char* kDisplayList =
    "<WinSkill><DisplayList DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" Hz=\"60 Hz\" "
    "/></WinSkill>\r\n";

std::string Row(const std::string& id, const std::string& value) {
  return "<Row ID=\"" + id + "\" Value=\"" + value + "\" />\r\n";
}

// "line:column severity section id: message" per finding, for readable failures.
std::string Show(const std::vector<LintFinding>& findings) {
  std::string text;
  for (const LintFinding& f : findings) {
    text += std::to_string(f.line) + ":" + std::to_string(f.column) +
            (f.severity == Severity::kError ? " error " : " warning ") + f.section + " " + f.id +
            ": " + f.message + "\n";
  }
  return text;
}

// The findings but those that a section is missing, for the tests of other faults, whose
// documents hold only the sections they need.
std::vector<LintFinding> Lint(std::string_view bytes, const MachineFacts& facts,
                              std::optional<DocumentKind> kind = std::nullopt) {
  std::vector<LintFinding> findings = LintDocument(bytes, facts, kind);
  // Fragments checked as the manager's document are not asked for its ExplorerConfig.
  const bool fragment = kind == kFragment;
  std::erase_if(findings, [fragment](const LintFinding& f) {
    return (f.severity == Severity::kWarning || (fragment && f.section == "ExplorerConfig")) &&
           f.id.empty() &&
           f.message.find(" has no " + f.section + " section: ") != std::string::npos;
  });
  return findings;
}

TEST(DocumentLint, AValueThatStopsTheApplierNamesTheRowsThenNotApplied) {
  const auto findings =
      Lint(Doc("<UsedAccess>\r\n" + Row("CmdPrompt", "yes") + Row("DriveSettings", "111") +
               Row("TaskManager", "1") + "</UsedAccess>\r\n"),
           {});
  ASSERT_EQ(findings.size(), 2u) << Show(findings);
  EXPECT_EQ(findings[0].severity, Severity::kError);
  EXPECT_EQ(findings[0].line, 4u);
  EXPECT_EQ(findings[0].column, 1u);
  EXPECT_EQ(findings[0].section, "UsedAccess");
  EXPECT_EQ(findings[0].id, "CmdPrompt");
  EXPECT_NE(findings[0].message.find("Not applied after it: DriveSettings, TaskManager."),
            std::string::npos)
      << Show(findings);
  EXPECT_EQ(findings[1].id, "DriveSettings");
  EXPECT_NE(findings[1].message.find("Not applied after it: TaskManager."), std::string::npos);
  EXPECT_EQ(LintStatus(findings), 2);
}

TEST(DocumentLint, ALongTailOfRowsNotAppliedIsCountedNotListed) {
  std::string rows;
  for (int i = 0; i < 200; ++i) rows += Row("CmdPrompt", "no");
  const auto findings = Lint(Doc("<UsedAccess>\r\n" + rows + "</UsedAccess>"), {});
  ASSERT_EQ(findings.size(), 399u) << "each row stops the applier, each but the first repeats";
  const LintFinding& first = findings[0];
  EXPECT_EQ(first.severity, Severity::kError);
  EXPECT_NE(first.message.find("Not applied after it: CmdPrompt and the 135 rows after them."),
            std::string::npos)
      << first.message;
  EXPECT_LT(first.message.size(), 200u);
  EXPECT_NE(findings[396].message.find("Not applied after it: CmdPrompt."), std::string::npos)
      << "the last but one row: " << findings[396].message;
  EXPECT_EQ(findings[398].message.find("Not applied"), std::string::npos) << "the last row";
}

TEST(DocumentLint, UnknownIdsAndSectionsGetTheNearestKnownName) {
  const auto findings =
      Lint(Doc("<UsedAccess>" + Row("TaskManger", "1") + "</UsedAccess>\r\n<UsedAcess/>\r\n"), {});
  ASSERT_EQ(findings.size(), 2u) << Show(findings);
  EXPECT_NE(findings[0].message.find("Did you mean TaskManager?"), std::string::npos);
  EXPECT_EQ(findings[0].column, 13u) << "the row's own column";
  EXPECT_NE(findings[1].message.find("Did you mean UsedAccess?"), std::string::npos);
  EXPECT_EQ(LintStatus(findings), 1) << "warnings only";

  const auto window = Lint(Doc("<StartMenu><Win7>" + Row("Run", "1") + "</Win7><WinXP>" +
                               Row("Run", "1") + "</WinXP></StartMenu>\r\n"),
                           {}, kFragment);
  ASSERT_EQ(window.size(), 1u) << Show(window);
  EXPECT_EQ(window[0].id, "Run") << "Run is a Win7 row, unknown in WinXP";
  EXPECT_EQ(window[0].line, 4u);
}

TEST(DocumentLint, ValuesOutsideTheKnownOnesSayWhatTheyAreTakenAs) {
  const auto findings =
      Lint(Doc("<UsedAccess>\r\n" + Row("RegEdition", "2") + Row("cmdprompt", "1") +
               Row("NoDrives", "1") + "</UsedAccess>\r\n"),
           {});
  ASSERT_EQ(findings.size(), 2u) << Show(findings);
  EXPECT_NE(findings[0].message.find("allowed"), std::string::npos) << "\"2\" unlocks";
  EXPECT_NE(findings[1].message.find("No DriveSettings row follows"), std::string::npos);

  const auto followed = Lint(
      Doc("<UsedAccess>\r\n" + Row("NoDrives", "1") + Row("DriveSettings", std::string(26, '0')) +
          Row("NoViewOnDrive", "1") + "</UsedAccess>\r\n"),
      {});
  ASSERT_EQ(followed.size(), 1u) << Show(followed);
  EXPECT_EQ(followed[0].id, "NoViewOnDrive") << "only the row after the last DriveSettings";
}

TEST(DocumentLint, RepeatedRowsSayTheLastWins) {
  const auto findings = Lint(Doc("<UsedAccess>\r\n" + Row("TaskManager", "1") +
                                 Row("TASKMANAGER", "0") + "</UsedAccess>\r\n"),
                             {});
  ASSERT_EQ(findings.size(), 1u) << Show(findings);
  EXPECT_EQ(findings[0].line, 5u);
  EXPECT_NE(findings[0].message.find("also on line 4"), std::string::npos);
}

TEST(DocumentLint, MachineFactsCodePageAndDisplayModes) {
  MachineFacts facts;
  facts.codePageHolds = [](std::string_view text) { return text.find("\xF0") == text.npos; };
  facts.displayModes = {{1024, 768, 32, 60}};
  const std::string system =
      "<FolderAccess>" + Row("Path", "C:\\Lab \xF0\x9F\x98\x80") + "</FolderAccess>\r\n";
  const std::string body =
      "<WinSkill><DisplayList DPFirst=\"800 x 600\" "
      "ColorQuality=\"32 bit\" Hz=\"60 Hz\" />"
      "<DisplayList DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" "
      "Hz=\"60 Hz\" /></WinSkill>\r\n";
  const auto path = Lint(Doc(system), facts);
  ASSERT_EQ(path.size(), 1u) << Show(path);
  EXPECT_EQ(path[0].id, "Path");
  const auto findings = Lint(Doc(body), facts, kFragment);
  ASSERT_EQ(findings.size(), 1u) << Show(findings);
  EXPECT_EQ(findings[0].id, "DisplayList");
  EXPECT_NE(findings[0].message.find("800 x 600"), std::string::npos);
  EXPECT_TRUE(Lint(Doc(body), {}, kFragment).empty()) << "no facts, no such checks";
  EXPECT_TRUE(Lint(Doc(system), {}).empty()) << "no facts, no such checks";

  const auto broken = Lint(
      Doc("<WinSkill><DisplayList DPFirst=\"800x600\" ColorQuality=\"32 bit\" Hz=\"60 Hz\" />" +
          Row("NumLockStatus", "1") + "</WinSkill>"),
      facts, kFragment);
  ASSERT_EQ(broken.size(), 1u) << Show(broken);
  EXPECT_EQ(broken[0].severity, Severity::kError);
}

TEST(DocumentLint, EncodingAndParseFaults) {
  const std::string utf8InKorean =
      Doc("<FolderAccess>" + Row("Path", "\xEC\x8B\xA4") + "</FolderAccess>\r\n", "ks_c_5601-1987");
  auto findings = Lint(utf8InKorean, {});
  ASSERT_FALSE(findings.empty());
  EXPECT_NE(findings[0].message.find("look like UTF-8"), std::string::npos) << Show(findings);
  EXPECT_EQ(findings[0].line, 3u);
  // The same character in code page 949 is fine.
  EXPECT_TRUE(
      Lint(Doc("<FolderAccess>" + Row("Path", "\xBD\xC7") + "</FolderAccess>", "ks_c_5601-1987"),
           {})
          .empty());

  findings = Lint("<DocRoot>\r\n<Configuration>\r\n</DocRoot>", {});
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].severity, Severity::kError);
  EXPECT_EQ(findings[0].line, 3u);
  EXPECT_EQ(LintStatus(findings), 2);
}

TEST(DocumentLint, AppletsOfTheControlPanel) {
  const auto findings =
      Lint(Doc("<ControlMngr><WinXP>\r\n<CPLList ID=\"acess.cpl\" Value=\"0\" />\r\n"
               "<CPLList ID=\"desk.cpl\" Value=\"no\" />\r\n" +
               Row("NoControlPanel", "1") + "</WinXP></ControlMngr>"),
           {});
  ASSERT_EQ(findings.size(), 2u) << Show(findings);
  EXPECT_NE(findings[0].message.find("Did you mean access.cpl?"), std::string::npos);
  EXPECT_EQ(findings[1].severity, Severity::kError);
  EXPECT_NE(findings[1].message.find("Not applied after it: NoControlPanel."), std::string::npos);
}

}  // namespace
}  // namespace dav::catalogue

namespace dav::catalogue {
namespace {

TEST(DocumentLint, TheLegacyDocumentStopsWhereItsAppliersDo) {
  const std::string body =
      "<SysMngr>" + Row("CmdPrompt", "1") + "</SysMngr>\r\n<DiskMngr>" + Row("HideDrive", "1") +
      Row("DriveSettings", "101") + Row("AutorunUse", "1") +
      "</DiskMngr>\r\n<ControlMngr><CPLList ID=\"access.cpl\" Value=\"1\" />" +
      Row("NoControlPanel", "1") + "</ControlMngr>\r\n<DisplayControl>" +
      Row("NoBgImgChange", "abc") + Row("NoThemeChange", "1") +
      "</DisplayControl>\r\n<Appwiz><AppList ID=\"Tool\" Value=\"yes\" />" +
      Row("NoRemovePage", "1") + "</Appwiz>\r\n<IExConfig>" + Row("NoToolUse", "0") +
      "<ExConfig DownFolder=\"C:\\Down\" /></IExConfig>\r\n<InternetOption><Link>" +
      Row("DelLinkPage", "1") + "</Link><General>" + Row("NoGeneralPageUse", "x") +
      "</General></InternetOption>\r\n";
  const auto findings = Lint(Doc(body), {});
  ASSERT_EQ(findings.size(), 5u) << Show(findings);
  for (const LintFinding& f : findings) EXPECT_EQ(f.severity, Severity::kError) << Show(findings);
  EXPECT_EQ(findings[0].id, "DriveSettings");
  EXPECT_NE(findings[0].message.find("Not applied after it: AutorunUse."), std::string::npos);
  EXPECT_EQ(findings[1].id, "NoBgImgChange");
  EXPECT_NE(findings[1].message.find("GetXMLDisplayControl stops here"), std::string::npos);
  EXPECT_EQ(findings[2].id, "Tool") << "the programs come before the rows";
  EXPECT_NE(findings[2].message.find("Not applied after it: NoRemovePage."), std::string::npos);
  EXPECT_NE(findings[3].message.find("ExConfig has no TitleBar"), std::string::npos);
  EXPECT_EQ(findings[4].id, "NoGeneralPageUse");
  EXPECT_NE(findings[4].message.find("Not applied after it: DelLinkPage."), std::string::npos)
      << "General is applied before Link, in one call";
}

TEST(DocumentLint, TheWindowDocumentNeedsItsListAndBrowserSections) {
  const std::string lists =
      "<StartProgramManager Protected=\"True\" />\r\n"
      "<DesktopIconManager Protected=\"False\" />\r\n" +
      std::string(kDisplayList);
  EXPECT_TRUE(Lint(Doc(lists + "<ExplorerConfig TitleBar=\"\" DownFolder=\"\" />"), {}).empty());
  const auto findings = Lint(Doc(lists + "<ExplorerConfig DownFolder=\"\" />"), {});
  ASSERT_EQ(findings.size(), 1u) << Show(findings);
  EXPECT_NE(findings[0].message.find("no TitleBar attribute: ApplyWinConfigXML logs error 91 at "
                                     "step 450"),
            std::string::npos);
  const auto noIcons = Lint(Doc("<StartProgramManager Protected=\"True\" />\r\n<ExplorerConfig "
                                "TitleBar=\"\" DownFolder=\"\" />" +
                                std::string(kDisplayList)),
                            {});
  ASSERT_EQ(noIcons.size(), 1u) << Show(noIcons);
  EXPECT_EQ(noIcons[0].section, "DesktopIconManager");
  EXPECT_NE(noIcons[0].message.find("step 540"), std::string::npos);
  EXPECT_NE(noIcons[0].message.find("auto recover will be switched off"), std::string::npos);
  EXPECT_EQ(LintStatus(noIcons), 2);

  const auto empty = Lint(" \r\n", {});
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty[0].message.rfind("Empty document", 0), 0u) << empty[0].message;
}

TEST(DocumentLint, ASectionOfAnotherDocumentIsIgnored) {
  const std::string body = "<UsedAccess>" + Row("TaskManager", "1") + "</UsedAccess>\r\n" +
                           "<FolderAccess>" + Row("Path", "") + "</FolderAccess>\r\n" +
                           "<StartMenu><WinXP>" + Row("MyDocView", "x") + "</WinXP></StartMenu>";
  const auto findings = Lint(Doc(body), {});
  ASSERT_EQ(findings.size(), 1u) << Show(findings);
  EXPECT_EQ(findings[0].section, "StartMenu");
  EXPECT_EQ(findings[0].message, "APL_SYSCONF ignores it; it belongs in the window document.");

  // Told the kind, the linter checks the sections as that document's.
  const auto asWindow = Lint(Doc(body), {}, DocumentKind::kWinConfig);
  ASSERT_EQ(asWindow.size(), 7u) << Show(asWindow);
  EXPECT_EQ(asWindow[0].section, "StartProgramManager") << "missing, as are the next three";
  EXPECT_NE(asWindow[4].message.find("APL_WINCONF ignores it"), std::string::npos);
  EXPECT_EQ(asWindow[6].severity, Severity::kError) << "MyDocView needs a number";
  // A legacy ControlMngr row of another name is a policy, but still read as a number.
  const auto legacy =
      Lint(Doc("<SysMngr/><ControlMngr>" + Row("NoRun", "70000") + "</ControlMngr>"), {});
  ASSERT_EQ(legacy.size(), 1u) << Show(legacy);
  EXPECT_EQ(legacy[0].severity, Severity::kError);
}

}  // namespace
}  // namespace dav::catalogue

namespace dav::catalogue {
namespace {

std::string RunKey(const std::string& hkey, const std::string& path, const std::string& name,
                   const std::string& checked = "True") {
  return "<RunKey HKey=\"" + hkey + "\" Path=\"" + path + "\" Name=\"" + name +
         "\" Command=\"C:\\t.exe\" IsPrevStart=\"True\" Checked=\"" + checked +
         "\" Deleted=\"False\" />\r\n";
}

constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunServices = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";

std::string Window(const std::string& runKeys, const std::string& icons) {
  return Doc("<StartProgramManager Protected=\"True\">\r\n<RunKeyList>\r\n" + runKeys +
             "</RunKeyList>\r\n</StartProgramManager>\r\n" + kDisplayList +
             "<ExplorerConfig TitleBar=\"\" "
             "DownFolder=\"\" />\r\n<DesktopIconManager Protected=\"True\">\r\n<IconList>\r\n" +
             icons + "</IconList>\r\n</DesktopIconManager>\r\n");
}

TEST(DocumentLint, StartProgramsNameAManagedRunKeyOnceAndReadThrough) {
  const std::string good = RunKey("-2147483646", kRun, "A") +
                           RunKey("-2147483646", kRunServices, "A") +
                           RunKey("-2147483647", kRun, "A");
  EXPECT_TRUE(Lint(Window(good, ""), {}).empty()) << Show(Lint(Window(good, ""), {}));

  const auto findings = Lint(
      Window(good + RunKey("-2147483647", kRunServices, "B") + RunKey("-2147483647", kRun, "a") +
                 RunKey("-2147483646", kRun, "C", "yes") + RunKey("-2147483646", kRun, "D"),
             ""),
      {});
  ASSERT_EQ(findings.size(), 3u) << Show(findings);
  EXPECT_EQ(findings[0].id, "B") << "RunServices is a key of HKEY_LOCAL_MACHINE only";
  EXPECT_NE(findings[0].message.find("is skipped"), std::string::npos);
  EXPECT_NE(findings[1].message.find("Repeated"), std::string::npos) << "names ignore case";
  EXPECT_EQ(findings[2].id, "C");
  EXPECT_EQ(findings[2].severity, Severity::kError);
  EXPECT_NE(findings[2].message.find("step 340"), std::string::npos) << findings[2].message;
}

TEST(DocumentLint, DesktopIconsNeedCheckedAndStayInTheirFolder) {
  const std::string icons =
      "<Icon FileName=\"a.lnk\" Checked=\"1\" />\r\n"
      "<Icon FileName=\"..\\x.lnk\" Checked=\"0\" />\r\n"
      "<Icon FileName=\"b.lnk\" />\r\n"
      "<Icon FileName=\"c.lnk\" Checked=\"1\" />\r\n";
  const auto findings = Lint(Window("", icons), {});
  ASSERT_EQ(findings.size(), 2u) << Show(findings);
  EXPECT_EQ(findings[0].severity, Severity::kWarning);
  EXPECT_EQ(findings[0].id, "..\\x.lnk");
  EXPECT_EQ(findings[1].severity, Severity::kError);
  EXPECT_NE(findings[1].message.find("Icon has no Checked attribute"), std::string::npos);
  EXPECT_NE(findings[1].message.find("(not the 1 after it)"), std::string::npos)
      << findings[1].message;
}

}  // namespace
}  // namespace dav::catalogue

namespace dav::catalogue {
namespace {

std::string Icons(const std::vector<std::string>& names) {
  std::string text =
      "<StartProgramManager Protected=\"True\" />\r\n<WinSkill><DisplayList "
      "DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" Hz=\"60 Hz\" /></WinSkill>\r\n"
      "<ExplorerConfig TitleBar=\"\" DownFolder=\"\" />\r\n"
      "<DesktopIconManager Protected=\"True\"><IconList>\r\n";
  for (const std::string& name : names) {
    text += "<Icon FileName=\"" + name + "\" Checked=\"1\" />\r\n";
  }
  return Doc(text + "</IconList></DesktopIconManager>\r\n");
}

TEST(DocumentLint, TheSpecialIconsAtTheHeadOfTheIconListMatchThisPC) {
  const std::vector<std::string> four = {"내 컴퓨터", "내 문서", "내 네트워크 환경", "휴지통"};
  std::vector<std::string> five = four;
  five.push_back("Internet Explorer");
  MachineFacts withBrowser;
  withBrowser.specialIcons = five;
  MachineFacts withShortcut;
  withShortcut.specialIcons = four;

  std::vector<std::string> madeWithShortcut = four;
  madeWithShortcut.push_back("a.lnk");
  EXPECT_TRUE(LintDocument(Icons(madeWithShortcut), withShortcut).empty());
  const auto eaten = LintDocument(Icons(madeWithShortcut), withBrowser);
  ASSERT_EQ(eaten.size(), 1u) << Show(eaten);
  EXPECT_EQ(eaten[0].severity, Severity::kError);
  EXPECT_EQ(eaten[0].id, "a.lnk");
  EXPECT_NE(eaten[0].message.find("deleted from the desktop"), std::string::npos);

  std::vector<std::string> madeWithBrowser = five;
  madeWithBrowser.push_back("a.lnk");
  EXPECT_TRUE(LintDocument(Icons(madeWithBrowser), withBrowser).empty());
  const auto asFile = LintDocument(Icons(madeWithBrowser), withShortcut);
  ASSERT_EQ(asFile.size(), 1u) << Show(asFile);
  EXPECT_EQ(asFile[0].id, "Internet Explorer");
  EXPECT_EQ(asFile[0].severity, Severity::kWarning);

  const auto renamed = LintDocument(
      Icons({"My Computer", "내 문서", "내 네트워크 환경", "휴지통", "Internet Explorer"}),
      withBrowser);
  ASSERT_EQ(renamed.size(), 1u) << Show(renamed);
  EXPECT_EQ(renamed[0].id, "My Computer");

  const auto shorter = LintDocument(Icons(four), withBrowser);
  ASSERT_EQ(shorter.size(), 1u) << Show(shorter);
  EXPECT_NE(shorter[0].message.find("fewer than the 5 special icons"), std::string::npos);
  EXPECT_TRUE(LintDocument(Icons(four), {}).empty()) << "no names: not checked";
}

TEST(DocumentLint, MissingSectionsSayWhatIsNotApplied) {
  const std::string withDisplay = Icons({});
  EXPECT_TRUE(LintDocument(withDisplay, {}, DocumentKind::kWinConfig).empty());
  std::string noDisplay = withDisplay;
  const std::size_t at = noDisplay.find("<DisplayList");
  noDisplay.erase(at, noDisplay.find("/>", at) + 2 - at);
  const auto restart = LintDocument(noDisplay, {}, DocumentKind::kWinConfig);
  ASSERT_EQ(restart.size(), 1u) << Show(restart);
  EXPECT_EQ(restart[0].severity, Severity::kError);
  EXPECT_EQ(restart[0].section, "WinSkill");
  EXPECT_NE(restart[0].message.find("error 13"), std::string::npos) << restart[0].message;
  for (const LintFinding& f : LintDocument(noDisplay, {}, DocumentKind::kManager)) {
    EXPECT_NE(f.section, "WinSkill") << "the manager's document sets no display mode";
  }

  const auto manager = LintDocument(Doc(""), {}, DocumentKind::kManager);
  ASSERT_EQ(manager.size(), 1u) << Show(manager);
  EXPECT_EQ(manager[0].severity, Severity::kError);
  EXPECT_NE(manager[0].message.find("The manager's document has no ExplorerConfig section: "
                                    "ApplyManagerLogin logs error 91"),
            std::string::npos)
      << manager[0].message;
  EXPECT_NE(manager[0].message.find("steps 480 and 490"), std::string::npos);

  const auto system = LintDocument(
      Doc("<ControlMngr/>\r\n<UsedAccess>" + Row("TaskManager", "1") + "</UsedAccess>\r\n"), {});
  ASSERT_EQ(system.size(), 1u) << Show(system);
  EXPECT_EQ(system[0].severity, Severity::kWarning);
  EXPECT_EQ(system[0].section, "FolderAccess");
  EXPECT_NE(system[0].message.find("The system document has no FolderAccess section: "
                                   "APL_SYSCONF applies nothing of it"),
            std::string::npos)
      << system[0].message;

  std::string legacyBody;
  for (std::string_view section : CompositionOf(DocumentKind::kLegacy).sections) {
    if (section == "StartProgramManager") {
      legacyBody += "<StartProgramManager Protected=\"False\" />\r\n";
    } else if (section != "DesktopIconManager") {
      legacyBody += "<" + std::string(section) + " />\r\n";
    }
  }
  const auto legacy = LintDocument(Doc(legacyBody), {}, DocumentKind::kLegacy);
  ASSERT_EQ(legacy.size(), 1u) << Show(legacy);
  EXPECT_EQ(legacy[0].section, "DesktopIconManager");
  EXPECT_NE(legacy[0].message.find("the PC keeps its own desktop icons."), std::string::npos)
      << legacy[0].message;
}

}  // namespace
}  // namespace dav::catalogue
