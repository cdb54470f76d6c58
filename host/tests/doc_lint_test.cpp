// davhost doc check as a linter and doc reference, end to end: the example documents and
// what the component itself produces on a fresh machine of either generation check clean;
// findings, exit codes and JSON as an administrator meets them.
#include <gtest/gtest.h>

#include <iconv.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

const std::string kExamples = DAV_EXAMPLES_DIR;

// A reply's document stored in code page 949, as the component stores documents.
std::string ToCp949(const std::string& utf8) {
  iconv_t cd = iconv_open("CP949", "UTF-8");
  std::string out(utf8.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* to = out.data();
  std::size_t outLeft = out.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &to, &outLeft), static_cast<std::size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

class DocLintTest : public MachineTest {};

TEST_F(DocLintTest, ExamplesAndProducedDocumentsCheckClean) {
  for (const char* name : {"WinConfig.qsf", "SysConfig.qsf", "WinAdmin.qsf", "DavIrizevez.qsf"}) {
    const RunResult r = Run({"doc", "check", kExamples + "/" + name});
    EXPECT_EQ(r.exitCode, 0) << name << "\n" << r.out << r.err;
  }
  for (const char* version : {"2.5.1", "2.6.1"}) {
    for (const char* request : {"REQ_WINCONF", "REQ_SYSCONF"}) {
      const std::string reply = Ok({"handle", request, "--spec-version", version});
      const std::size_t start = reply.find("<?xml");
      ASSERT_NE(start, std::string::npos) << reply;
      const std::string file =
          HostFile(std::string(request) + version + ".qsf", ToCp949(reply.substr(start)));
      const RunResult r = Run({"doc", "check", file});
      EXPECT_EQ(r.exitCode, 0) << request << " " << version << "\n" << r.out << r.err;
    }
  }
}

TEST_F(DocLintTest, FindingsExitCodesJsonAndMachinePaths) {
  const std::string doc =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<DocRoot><Configuration>\n<UsedAccess>\n"
      "<Row ID=\"DriveSettings\" Value=\"111\" />\n<Row ID=\"TaskManager\" Value=\"1\" />\n"
      "</UsedAccess>\n</Configuration></DocRoot>\n";
  const std::string file = HostFile("stop.qsf", doc);
  const RunResult r = Run({"doc", "check", file});
  EXPECT_EQ(r.exitCode, 2) << "an applier would stop";
  EXPECT_NE(
      r.out.find(file + ":4:1: error: UsedAccess DriveSettings: Value \"111\" is not 26 digits "
                        "(one per drive, A: first): GetXMLUsedAccess stops here. Not applied "
                        "after it: TaskManager.\n"),
      std::string::npos)
      << r.out;

  const RunResult json = Run({"doc", "check", "--json", file});
  EXPECT_EQ(json.exitCode, 2);
  EXPECT_NE(json.out.find("{\"severity\": \"error\", \"line\": 4, \"column\": 1, \"section\": "
                          "\"UsedAccess\", \"id\": \"DriveSettings\""),
            std::string::npos)
      << json.out;

  const std::string warned =
      HostFile("warn.qsf",
               "<DocRoot><Configuration><UsedAccess><Row ID=\"TaskManger\" Value=\"1\" />"
               "</UsedAccess></Configuration></DocRoot>");
  EXPECT_EQ(Run({"doc", "check", warned}).exitCode, 1) << "warnings only";

  Ok({"fs", "put", warned, "C:\\warn.qsf"});
  const RunResult onMachine = Run({"doc", "check", "--machine-path", "C:\\warn.qsf"});
  EXPECT_EQ(onMachine.exitCode, 1);
  EXPECT_NE(onMachine.out.find("Did you mean TaskManager?"), std::string::npos) << onMachine.out;
  EXPECT_NE(Run({"doc", "check", "C:\\warn.qsf"}).exitCode, 0)
      << "without --machine-path FILE is a file of this computer";
}

TEST_F(DocLintTest, TheLegacyDocumentIsCheckedAsItsAppliersReadIt) {
  std::ifstream in(kExamples + "/DavIrizevez.qsf", std::ios::binary);
  std::string doc{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto change = [&](const std::string& from, const std::string& to) {
    const std::size_t at = doc.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    doc.replace(at, from.size(), to);
  };
  change("\"DriveSettings\" Value=\"" + std::string(26, '0') + "\"",
         "\"DriveSettings\" Value=\"101\"");
  change("\"NoBgImgChange\" Value=\"1\"", "\"NoBgImgChange\" Value=\"abc\"");
  change("TitleBar=\"Microsoft Internet Explorer\" ", "");
  const std::string file = HostFile("legacy.qsf", doc);
  const RunResult r = Run({"doc", "check", file});
  EXPECT_EQ(r.exitCode, 2) << r.out << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
            file +
                ": DavIrizevez document (guessed from its sections), encoding "
                "ks_c_5601-1987, SpecVersion 1.0.0");
  for (const char* named : {"error: DiskMngr DriveSettings: Value \"101\" is not 26 digits",
                            "error: DisplayControl NoBgImgChange: Value \"abc\" is not a number",
                            "error: IExConfig ExConfig: ExConfig has no TitleBar attribute"}) {
    EXPECT_NE(r.out.find(named), std::string::npos) << named << "\n" << r.out;
  }
  EXPECT_NE(r.err.find("3 errors, 0 warnings"), std::string::npos) << r.err;

  const RunResult asSystem =
      Run({"doc", "check", "--kind", "system", kExamples + "/SysConfig.qsf"});
  EXPECT_EQ(asSystem.exitCode, 0) << asSystem.out;
  EXPECT_NE(asSystem.out.find("SysConfig document (as --kind says)"), std::string::npos);
  const RunResult legacyAsWindow =
      Run({"doc", "check", "--kind", "window", kExamples + "/DavIrizevez.qsf"});
  EXPECT_EQ(legacyAsWindow.exitCode, 2) << "ignored sections, and no ExplorerConfig";
  EXPECT_NE(legacyAsWindow.out.find("SysMngr: APL_WINCONF ignores it; it belongs in the legacy "
                                    "document."),
            std::string::npos)
      << legacyAsWindow.out;
  EXPECT_EQ(Run({"doc", "check", "--kind", "sys", file}).exitCode, 2) << "not a kind";
}

TEST_F(DocLintTest, NewDocumentsCheckCleanAndApplyAndNeverOverwrite) {
  for (const std::string kind : {"window", "system"}) {
    for (const bool fromMachine : {false, true}) {
      const std::string file = HostFile(kind + (fromMachine ? "-machine" : "") + ".qsf", "");
      std::filesystem::remove(file);
      std::vector<std::string> arguments = {"doc", "new", "--kind", kind, file};
      if (fromMachine) arguments.push_back("--from-machine");
      Ok(arguments);
      const RunResult check = Run({"doc", "check", file});
      EXPECT_EQ(check.exitCode, 0) << kind << "\n" << check.out;
      const RunResult apply = Run({"handle", kind == "window" ? "APL_WINCONF" : "APL_SYSCONF",
                                   "--doc", file, "--restart", "False", "--quiet"});
      EXPECT_EQ(apply.exitCode, 0) << kind << "\n" << apply.err;
    }
  }
  const std::string kept = HostFile("kept.qsf", "mine");
  EXPECT_EQ(Run({"doc", "new", "--kind", "window", kept}).exitCode, 1);
  std::ifstream in(kept, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "mine") << "left as it was";
}

TEST_F(DocLintTest, ANewLegacyDocumentChecksCleanAndAppliesLockingNothingDown) {
  const std::string file = (folder_.path() / "legacy.qsf").string();
  Ok({"doc", "new", "--kind", "legacy", file});
  // Clean also means that no section is missing.
  const RunResult check = Run({"doc", "check", "--kind", "legacy", file});
  EXPECT_EQ(check.exitCode, 0) << check.out;
  const RunResult apply = Run({"legacy", "apply", file});
  EXPECT_EQ(apply.exitCode, 0) << apply.err;
  const std::string explorer =
      "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  EXPECT_EQ(Ok({"reg", "get", explorer, "NoDriveTypeAutoRun"}), "0x00000000 (0)\n")
      << "autorun left on";
  EXPECT_EQ(
      Ok({"reg", "get", "HKLM\\Software\\Policies\\Microsoft\\Windows\\System", "DisableCMD"}),
      "0x00000000 (0)\n");
  EXPECT_EQ(
      Ok({"reg", "get", "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
          "ClassicViewState"}),
      "0x00000000 (0)\n")
      << "the web view, as Windows has it";
  EXPECT_EQ(
      Run({"reg", "get", "HKCU\\Software\\Microsoft\\Internet Explorer\\Main", "Window Title"})
          .exitCode,
      1)
      << "the browser's own title, not an empty one";
  // Read back from the PC it was applied on, it is the same document (and the folders).
  const RunResult back = Run({"doc", "new", "--kind", "legacy", "--from-machine", file + "2"});
  EXPECT_EQ(back.exitCode, 0) << back.err;
  EXPECT_EQ(back.err, "") << "no row was changed by hand";
  const RunResult diff = Run({"doc", "diff", file, file + "2"});
  EXPECT_EQ(Count(diff.out, "\n"), Count(diff.out, "only in " + file + "2")) << diff.out;
}

// The rows of a legacy document applied on the PC, read back from it: every row the example
// sets comes back with its value, and the document applies without a change.
TEST_F(DocLintTest, ALegacyDocumentFromTheMachineHoldsTheRowsAppliedThere) {
  // The desktop icons shown explicitly, as the window document that the legacy document
  // takes them from writes them.
  const std::string window = (folder_.path() / "window.qsf").string();
  Ok({"doc", "new", "--kind", "window", window});
  Ok({"handle", "APL_WINCONF", "--doc", window, "--restart", "False", "--quiet"});
  const std::string example = kExamples + "/DavIrizevez.qsf";
  EXPECT_EQ(Run({"legacy", "apply", example}).exitCode, 0);
  const std::string file = (folder_.path() / "machine.qsf").string();
  const RunResult made = Run({"doc", "new", "--kind", "legacy", "--from-machine", file});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(made.err, "");
  // Only what the example leaves out (folders where the PC keeps them, applets) may differ.
  const RunResult diff = Run({"doc", "diff", example, file});
  EXPECT_EQ(Count(diff.out, "\n"), Count(diff.out, "only in " + file)) << diff.out;
  EXPECT_EQ(Run({"doc", "check", "--kind", "legacy", file}).exitCode, 0);
  const RunResult apply = Run({"legacy", "apply", file});
  EXPECT_EQ(apply.exitCode, 0);
  EXPECT_NE(apply.err.find("changes: 0 values set, 0 deleted, 0 keys created"), std::string::npos)
      << apply.err;

  // A value no row value writes: the row keeps its fresh value, and is named. A folder kept
  // in two places that disagree was not put there by its row, which is left out.
  Ok({"reg", "set", "HKCU\\Software\\Policies\\Microsoft\\Windows\\System", "DisableCMD",
      "REG_DWORD", "7"});
  Ok({"reg", "set",
      "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
      "Personal", "REG_SZ", "E:\\Docs"});
  const std::string changed = file + "2";
  const RunResult warned = Run({"doc", "new", "--kind", "legacy", "--from-machine", changed});
  EXPECT_EQ(warned.exitCode, 0);
  EXPECT_EQ(warned.err,
            "davhost: warning: SysMngr / CmdPrompt: the machine holds what none of the row's "
            "values writes (changed by hand?); the fresh PC's value \"0\" is kept\n");
  const RunResult one = Run({"doc", "diff", file, changed});
  EXPECT_NE(one.out.find("SysMngr CmdPrompt: \"1\" -> \"0\""), std::string::npos) << one.out;
  EXPECT_NE(one.out.find("FolderSet MyDocuments: only in " + file + " (\"D:\\Share\")"),
            std::string::npos)
      << one.out;
  EXPECT_EQ(Count(one.out, "\n"), 2) << one.out;
}

TEST_F(DocLintTest, AShellRestartWithoutADisplayListIsWarnedOfBeforeItFails) {
  const std::string file = (folder_.path() / "window.qsf").string();
  Ok({"doc", "new", "--kind", "window", file});
  std::ifstream in(file, std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::size_t at = text.find("<DisplayList");
  ASSERT_NE(at, std::string::npos);
  text.erase(at, text.find("/>", at) + 2 - at);
  const std::string bare = HostFile("bare.qsf", text);
  const std::string hint = "warning: APL_WINCONF with a shell restart sets the display mode";
  const RunResult kept = Run({"handle", "APL_WINCONF", "--doc", bare, "--restart", "False"});
  EXPECT_EQ(kept.exitCode, 0) << kept.err;
  EXPECT_EQ(kept.err.find(hint), std::string::npos) << "no restart, no display change";
  const RunResult restarted = Run({"handle", "APL_WINCONF", "--doc", bare, "--restart", "True"});
  EXPECT_EQ(restarted.exitCode, 4);
  EXPECT_NE(restarted.err.find(hint), std::string::npos) << restarted.err;
  EXPECT_NE(restarted.err.find("13, Type mismatch"), std::string::npos) << restarted.err;
}

TEST_F(DocLintTest, TheIconListIsCheckedAgainstThisPCsSpecialIcons) {
  const std::string file = (folder_.path() / "fresh.qsf").string();
  Ok({"doc", "new", "--kind", "window", file});
  EXPECT_EQ(Run({"doc", "check", file}).exitCode, 0);
  // A replacement browser shortcut in the client's ini file takes the browser icon's place.
  Ok({"fs", "put", HostFile("quorelc.ini", "[settings]\r\nqrllnk=1\r\nqrlieex=lnk\r\n"),
      "C:\\WINDOWS\\system32\\quorelc.ini"});
  const RunResult r = Run({"doc", "check", file});
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_NE(r.out.find("warning: DesktopIconManager Internet Explorer: This PC has a replacement "
                       "browser shortcut and 4 special icons"),
            std::string::npos)
      << r.out;
}

TEST_F(DocLintTest, ReferenceListsEverySectionOrOne) {
  const std::string all = Ok({"doc", "reference"});
  for (const char* section : {"StartMenu", "WinSkill", "ExplorerConfig", "FileOpt", "ControlMngr",
                              "UsedAccess", "FolderAccess", "SysMngr", "InternetOption"}) {
    EXPECT_NE(all.find(std::string(section) + " ("), std::string::npos) << section;
  }
  const std::string one = Ok({"doc", "reference", "UsedAccess"});
  EXPECT_EQ(one.find("StartMenu"), std::string::npos);
  EXPECT_NE(one.find("  TaskManager  (Windows XP and 7; Value: number)\n"), std::string::npos)
      << one;
  EXPECT_NE(Ok({"doc", "reference", "--json", "StartMenu"}).find("\"id\": \"SysAdminTools\""),
            std::string::npos);
  EXPECT_EQ(Run({"doc", "reference", "Nothing"}).exitCode, 1);
}

TEST_F(DocLintTest, DiffComparesRowByRowAcrossEncodings) {
  const std::string example = kExamples + "/SysConfig.qsf";
  EXPECT_EQ(Run({"doc", "diff", example, example}).exitCode, 0);
  const RunResult same = Run({"doc", "diff", example, example});
  EXPECT_EQ(same.out, "");
  const std::string changed =
      HostFile("changed.qsf",
               "<?xml version=\"1.0\" encoding=\"utf-8\"?><DocRoot><Configuration><UsedAccess>"
               "<Row ID=\"taskmanager\" Value=\"0\" /></UsedAccess></Configuration></DocRoot>");
  const std::string original =
      HostFile("original.qsf",
               "<DocRoot><Configuration><UsedAccess><Row ID=\"TaskManager\" Value=\"1\" />"
               "<Row ID=\"CmdPrompt\" Value=\"1\" /></UsedAccess></Configuration></DocRoot>");
  const RunResult r = Run({"doc", "diff", original, changed});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "UsedAccess taskmanager: \"1\" -> \"0\"\nUsedAccess CmdPrompt: only in " +
                       original + " (\"1\")\n");
  EXPECT_EQ(Run({"doc", "diff", original, HostFile("bad.qsf", "<DocRoot>")}).exitCode, 2);
}

}  // namespace
}  // namespace dav::host::testing
