// The legacy settings document through davhost, end to end: applied with davhost legacy,
// then re-established at the next start; the documents of APL_PREVWS in their order; login
// and log-off with a document of the machine.
#include <gtest/gtest.h>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

const std::string kComponentFolder = "C:\\Program Files\\brisal client\\Components\\DavIrizevez";
const std::string kSystemPolicies =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::string kCommandPolicies = "HKCU\\Software\\Policies\\Microsoft\\Windows\\System";

std::string Document(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
         "SpecVersion=\"1.0.0\">" +
         body + "</Configuration></DocRoot>";
}
std::string Row(const std::string& id, const std::string& value) {
  return "<Row ID=\"" + id + "\" Value=\"" + value + "\" />";
}

class LegacyCommandsTest : public MachineTest {
 protected:
  // What a delivered command printed. The documents here hold only the sections a test is
  // about, so the component logs the ones it misses (exit code 4); an unknown command is 3.
  std::string Delivered(const std::vector<std::string>& arguments) {
    const RunResult r = Run(arguments);
    EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 3 || r.exitCode == 4)
        << ::testing::PrintToString(arguments) << " exit " << r.exitCode << "\n"
        << r.err;
    return r.out;
  }

  // A DWORD as "reg get" shows it, "(n)", or "" when it is missing.
  std::string Dword(const std::string& key, const std::string& name) {
    const std::string out = Ok({"reg", "get", key});
    const auto at = out.find(name);
    return at == std::string::npos ? "" : out.substr(out.find('(', at), 3);
  }
  // A document put into the component folder under its name.
  void PutDocument(const std::string& name, const std::string& body) {
    Ok({"fs", "mkdir", "-p", kComponentFolder});
    Ok({"fs", "put", HostFile(name, Document(body)), kComponentFolder});
  }
};

TEST_F(LegacyCommandsTest, AppliedDisplayModeAndCleanUpsComeBackAtEveryStart) {
  const std::string legacy =
      HostFile("DavIrizevez.qsf",
               Document("<SysMngr>" + Row("CmdPrompt", "1") + "</SysMngr><DisplayConfig>" +
                        Row("RebootDisplay", "1") +
                        "<DisplayList DPFirst=\"800 x 600\" ColorQuality=\"16 bit\" Hz=\"75 Hz\" />"
                        "</DisplayConfig>"));
  EXPECT_EQ(Delivered({"legacy", "apply", legacy}), "") << "no notice while applying";
  EXPECT_EQ(Dword(kCommandPolicies, "DisableCMD"), "(1)");
  EXPECT_NE(Ok({"fs", "ls", kComponentFolder}).find(" DavIrizevez.qsf\n"), std::string::npos)
      << "the document is kept";

  // The clean-ups come from a window document; cookies go with the temporary files.
  const std::string window = HostFile(
      "WinConfig.qsf", Document("<FileOpt>" + Row("RebootWinOpt", "1") + Row("Garbage", "0") +
                                Row("TempFile", "0") + Row("TempFolder", "0") + Row("Cookie", "1") +
                                Row("History", "1") + Row("Doc", "1") + "</FileOpt>"));
  Delivered({"handle", "APL_WINCONF", "--doc", window, "--restart", "False"});
  const std::string before = Ok({"events"});

  EXPECT_EQ(Delivered({"handle", "REQ_NOTHING"}),
            "NOTICE ZezOvezorara APL_TEMPFILE 1\n"
            "NOTICE ZezOvezorara APL_HISTORY 1\n"
            "NOTICE ZezOvezorara APL_DOC 1\n");
  const std::string events = Ok({"events"}).substr(before.size());
  EXPECT_NE(events.find("display.change  800x600x16@75"), std::string::npos) << events;
  EXPECT_NE(Ok({"display"}).find("800"), std::string::npos);
}

TEST_F(LegacyCommandsTest, PrevwsAppliesBothInitialDocumentsAndThenTheManagersInOrder) {
  PutDocument("initial.qsf",
              "<SysMngr>" + Row("TaskManager", "1") + Row("CmdPrompt", "1") + "</SysMngr>");
  PutDocument("initial2.qsf", "<SysMngr>" + Row("TaskManager", "0") + "</SysMngr>");
  PutDocument("WinAdmin.qsf", "<UsedAccess>" + Row("CmdPrompt", "0") + "</UsedAccess>");
  EXPECT_EQ(Delivered({"handle", "APL_PREVWS"}), "") << "no notice";
  EXPECT_EQ(Dword(kSystemPolicies, "DisableTaskMgr"), "(0)") << "initial2.qsf after initial.qsf";
  EXPECT_EQ(Dword(kCommandPolicies, "DisableCMD"), "(0)") << "WinAdmin.qsf last";
  const std::string log = Ok({"log"});
  const auto first = log.find("CCDavIrizevez.ApplyXML_ManagerLogin Start");
  const auto second = log.find("CCDavIrizevez.ApplyXML_ManagerLogin Start", first + 1);
  EXPECT_LT(second, log.find("CCDavIrizevez.ApplyManagerLogin Start")) << log;
  EXPECT_EQ(Count(Ok({"events"}), "process.end"), 0) << "no shell restart";
}

TEST_F(LegacyCommandsTest, LoginAndLogoffTakeADocumentOfTheMachine) {
  PutDocument("initial.qsf", "<SysMngr>" + Row("RegEdition", "1") + "</SysMngr>");
  EXPECT_EQ(Delivered({"legacy", "login", kComponentFolder + "\\initial.qsf"}), "");
  EXPECT_EQ(Dword(kSystemPolicies, "DisableRegistryTools"), "(1)");
  PutDocument("initial2.qsf", "<SysMngr>" + Row("RegEdition", "0") + "</SysMngr>");
  EXPECT_EQ(Delivered({"legacy", "logoff", kComponentFolder + "\\initial2.qsf"}), "");
  EXPECT_EQ(Dword(kSystemPolicies, "DisableRegistryTools"), "(0)");

  ExpectOneErrorLine(Run({"legacy", "login", "C:\\nowhere.qsf"}), "a path that is no file");
  ExpectOneErrorLine(Run({"legacy", "logoff", kComponentFolder}), "a folder");
  EXPECT_NE(Run({"legacy"}).exitCode, 0) << "a subcommand is needed";

  // A document that does not load: the component's error lines are shown as warnings.
  PutDocument("broken.qsf", "<SysMngr>");
  const RunResult broken = Run({"legacy", "login", kComponentFolder + "\\broken.qsf"});
  EXPECT_EQ(broken.exitCode, 4) << "the component logged an error";
  EXPECT_NE(broken.err.find("davhost: warning: the component logged: Err (errorCode) -> "),
            std::string::npos)
      << broken.err;
}

// The legacy appliers go on after a failing section and tell only the error reporter's debug
// log: davhost finds those lines, names them and exits 4. Each operation prints the change
// report, and a document without a legacy section (a window document) is warned of.
TEST_F(LegacyCommandsTest, FailuresOfTheAppliersAreTheExitCodeAndChangesAreReported) {
  const std::string drives = Row("DriveSettings", "11100000000000000000000000");
  const std::string good =
      HostFile("good.qsf", Document("<DiskMngr>" + Row("HideDrive", "1") + drives + "</DiskMngr>"));
  RunResult r = Run({"legacy", "apply", good});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("davhost: changes: 5 values set, "), std::string::npos) << r.err;
  EXPECT_EQ(Dword("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                  "NoDrives"),
            "(7)");

  PutDocument("bad.qsf", "<DiskMngr>" + Row("HideDrive", "abc") + drives + "</DiskMngr>");
  for (const std::string operation : {"login", "logoff"}) {
    r = Run({"legacy", operation, kComponentFolder + "\\bad.qsf"});
    EXPECT_EQ(r.exitCode, 4) << operation << ": " << r.err;
    EXPECT_NE(
        r.err.find("davhost: warning: the component logged: [modDavIrizevez.GetXMLDiskMngr] 13 "),
        std::string::npos)
        << operation << ": " << r.err;
    EXPECT_EQ(r.err.find("no section of the legacy"), std::string::npos) << r.err;
  }

  r = Run({"legacy", "apply", DAV_EXAMPLES_DIR "/WinConfig.qsf"});
  EXPECT_NE(r.err.find("davhost: warning: the document holds no section of the legacy settings "
                       "document"),
            std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace dav::host::testing
