// The editor commands through davhost with a script as the administrator.
#include <gtest/gtest.h>

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
