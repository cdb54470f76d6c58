// The editor commands through davhost with a script as the administrator.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

class EditorCommandsTest : public MachineTest {
 protected:
  std::string ShellPid() {
    const std::string ps = Ok({"ps"});
    const std::size_t at = ps.find("explorer.exe");
    const std::size_t start = ps.rfind('\n', at) + 1;
    return ps.substr(start, ps.find(' ', start) - start);
  }
  std::string DisableCmd() {
    return Ok({"reg", "get", "HKCU\\Software\\Policies\\Microsoft\\Windows\\System", "DisableCMD"});
  }
};

TEST_F(EditorCommandsTest, SystemEditorScriptAppliesTheCommandPromptBlockWithoutAShellRestart) {
  const std::string shell = ShellPid();
  const std::string script = HostFile("block.txt",
                                      "# block the command prompt, apply at the next reboot\n"
                                      "check \"윈도우 명령 프롬프트 실행 차단\"\n"
                                      "ok\n"
                                      "click \"재부팅 후 적용\"\n");
  EXPECT_EQ(Ok({"handle", "SYSCONFIG", "--ui", "script:" + script}),
            "NOTICE DavIrizevez APL_FASETTING 1\n");
  EXPECT_NE(DisableCmd().find("1"), std::string::npos) << DisableCmd();
  EXPECT_EQ(ShellPid(), shell) << "choice 7 does not restart the shell";
}

TEST_F(EditorCommandsTest, EditorCommandsWithoutAnEditorOrWithAFailingScriptApplyNothing) {
  RunResult r = Run({"handle", "WINCONFIG"});
  ExpectOneErrorLine(r,
                     "WINCONFIG opens an editor, and no display is available: give --ui "
                     "script:FILE");
  const std::string bad = HostFile("bad.txt", "check chkUseAccess(0)\nok\npress 7\n");
  r = Run({"handle", "SYSCONFIG", "--ui", "script:" + bad});
  ExpectOneErrorLine(r, "script '" + bad + "' line 3: unknown action 'press'");
  const std::string unknown =
      HostFile("unknown.txt", "check chkUseAccess(0)\ncheck chkNoSuchBox\nok\nchoose 7\n");
  r = Run({"handle", "SYSCONFIG", "--ui", "script:" + unknown});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_NE(r.err.find("script '" + unknown +
                       "' line 2: frmSysConfig has no control 'chkNoSuchBox'; nothing was applied"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "") << "no APL_FASETTING";
  EXPECT_NE(Run({"reg", "get", "HKCU\\Software\\Policies\\Microsoft\\Windows\\System"}).exitCode, 0)
      << "the command prompt policy was never written";
}

}  // namespace
}  // namespace dav::host::testing

namespace dav::host::testing {
namespace {

class EditCommandTest : public MachineTest {};

TEST_F(EditCommandTest, EditsADocumentFileInItsEncodingWithoutTouchingTheMachine) {
  // "학생" in code page 949.
  const std::string doc = HostFile(
      "Sys.qsf",
      "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
      "SpecVersion=\"1.0.0\"><FolderAccess><Row ID=\"FolderAccess\" Value=\"1\" /><Row "
      "ID=\"Path\" Value=\"C:\\\\\xc7\xd0\xbb\xfd\" /></FolderAccess></Configuration></DocRoot>");
  const std::string script =
      HostFile("s.txt", "check chkUseAccess(0)\nadd \"C:\\Temp\"\nok\nchoose 7\n");
  const std::string out = (folder_.path() / "out.qsf").string();
  const std::string before = Ok({"reg", "export"});
  EXPECT_EQ(Ok({"edit", doc, "-o", out, "--ui", "script:" + script}), "");
  std::ifstream file(out, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(bytes.find("<Row ID=\"CmdPrompt\" Value=\"1\" />"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("<Row ID=\"Path\" Value=\"C:\\\\\xc7\xd0\xbb\xfd|c:\\\\temp\" />"),
            std::string::npos)
      << "written in code page 949:\n"
      << bytes;
  EXPECT_EQ(Ok({"reg", "export"}), before);
  EXPECT_EQ(Run({"fs", "ls", "C:\\Program Files\\brisal client"}).exitCode, 1)
      << "no component folder, no log";

  const std::string cancel = HostFile("c.txt", "cancel\n");
  const RunResult r = Run({"edit", doc, "-o", out + ".2", "--ui", "script:" + cancel});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.err.find("the editor closed without OK"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(out + ".2"));

  const std::string neither = HostFile(
      "n.qsf", "<?xml version=\"1.0\"?><DocRoot><Configuration SpecVersion=\"1.0.0\"/></DocRoot>");
  ExpectOneErrorLine(Run({"edit", neither, "--ui", "script:" + cancel}),
                     "is neither a window nor a system document");
}

std::string Bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST_F(EditCommandTest, OverwritesKeepingTheEncodingAndABackup) {
  // "학생" in UTF-8, in a file that says so.
  const std::string original =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><DocRoot><Configuration "
      "SpecVersion=\"1.0.0\"><FolderAccess><Row ID=\"FolderAccess\" Value=\"1\" /><Row "
      "ID=\"Path\" Value=\"C:\\\xED\x95\x99\xEC\x83\x9D\" /></FolderAccess></Configuration>"
      "</DocRoot>";
  const std::string doc = HostFile("Sys.qsf", original);
  const std::string script = HostFile("s.txt", "check chkUseAccess(0)\nok\nchoose 7\n");
  Ok({"edit", doc, "--ui", "script:" + script});
  const std::string bytes = Bytes(doc);
  EXPECT_NE(bytes.find("encoding=\"utf-8\""), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("\xED\x95\x99\xEC\x83\x9D"), std::string::npos) << "UTF-8 bytes";
  EXPECT_NE(bytes.find("<Row ID=\"CmdPrompt\" Value=\"1\" />"), std::string::npos);
  EXPECT_EQ(Bytes(doc + ".bak"), original);
}

TEST_F(EditCommandTest, ADocumentTheEditorCannotReadWhollyIsNotWritten) {
  const std::string file = (folder_.path() / "Win.qsf").string();
  Ok({"doc", "new", "--kind", "window", file});
  std::string text = Bytes(file);
  const std::size_t from = text.find("<DesktopIconManager");
  const std::string end = "</DesktopIconManager>";
  text.erase(from, text.find(end) + end.size() - from);
  const std::string doc = HostFile("Win.qsf", text);
  const RunResult r = Run({"edit", doc, "--ui", "script:" + HostFile("ok.txt", "ok\nchoose 7\n")});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_NE(r.err.find("davhost: warning: the editor logged: [err:frmWinConfig.SetXML]"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("was not written"), std::string::npos);
  EXPECT_EQ(Bytes(doc), text);
  EXPECT_FALSE(std::filesystem::exists(doc + ".bak"));
}

}  // namespace
}  // namespace dav::host::testing

namespace dav::host::testing {
namespace {

class EditWarningsTest : public MachineTest {};

TEST_F(EditWarningsTest, SectionsTheEditorAddsAreWarnedOfAndControlsAreListed) {
  const std::string doc = HostFile(
      "Used.qsf",
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><DocRoot><Configuration SpecVersion=\"1.0.0\">"
      "<UsedAccess><Row ID=\"CmdPrompt\" Value=\"1\" /></UsedAccess></Configuration></DocRoot>");
  const std::string out = (folder_.path() / "out.qsf").string();
  const RunResult r = Run({"edit", doc, "-o", out, "--ui",
                           "script:" + HostFile("s.txt", "check chkUseAccess(1)\nok\nchoose 7\n")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("davhost: warning: the editor added FolderAccess, which the file did not "
                       "have, with a fresh PC's values: applying the written document switches "
                       "folder protection off and, with its empty Path, clears the stored "
                       "protected folders."),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("the editor added ControlMngr"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("added UsedAccess"), std::string::npos) << "the file had it";

  const RunResult misspelt =
      Run({"edit", doc, "-o", out, "--ui", "script:" + HostFile("m.txt", "check chkFoldr(0)\n")});
  EXPECT_NE(misspelt.err.find("has no control 'chkFoldr'; near: chkFolder"), std::string::npos)
      << misspelt.err;

  const std::string listed = Ok({"edit", "--list-controls", "system"});
  std::string txtPath;
  for (std::size_t at = listed.find("  txtPath "); at != std::string::npos;) {
    txtPath = listed.substr(at, listed.find('\n', at) - at);
    break;
  }
  for (const char* part : {"text box", "접근 차단 폴더 경로", "tab 2 폴더 접근 제한"}) {
    EXPECT_NE(txtPath.find(part), std::string::npos) << part << "\n" << listed;
  }
  EXPECT_EQ(listed.find("frmWinConfig"), std::string::npos) << "only the system editor";
  EXPECT_NE(Run({"edit", "--list-controls", "dialog"}).exitCode, 0);
}

}  // namespace
}  // namespace dav::host::testing
