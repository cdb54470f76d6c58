// The command table on the simulated PC, for what davhost does not show: the reply
// channels, the wait, the windows and tools closed with the shell restart. (The commands
// end to end are tested through davhost in host/tests.)
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/component.h"
#include "core/tests/component_fixture.h"
#include "editors/form_script.h"
#include "platform/sim/machine.h"
#include "registry/md_registry.h"

namespace dav::core::testing {
namespace {

const char kCommandPolicies[] = "Software\\Policies\\Microsoft\\Windows\\System";

std::string Document(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
         "SpecVersion=\"1.0.0\">" +
         body + "</Configuration></DocRoot>";
}
std::string CmdPrompt(const std::string& value) {
  return Document("<UsedAccess><Row ID=\"CmdPrompt\" Value=\"" + value + "\" /></UsedAccess>");
}

class DispatcherTest : public ::testing::Test, public ComponentFixture {
 protected:
  void SetUp() override {
    component_ = MakeComponent();
    component_->IClientComponent_Initialize(sharedHost(), false);
    component_->IClientComponent_Handle("REQ_NOTHING", "");  // asks for the version text
    since_ = machine().Events().empty() ? 0 : machine().Events().back().sequence;
    host().calls.clear();
  }
  platform::sim::Machine& machine() { return dynamic_cast<platform::sim::Machine&>(platform()); }
  void Handle(const std::string& cmd, const std::string& protocol) {
    component_->IClientComponent_Handle(cmd, protocol);
  }
  std::int32_t DisableCmd() {
    util::Log log(platform(), component_->componentFolder());
    return mdRegistry(log).ReadDWORD(platform::kHKeyCurrentUser, kCommandPolicies, "DisableCMD",
                                     -1);
  }
  std::vector<std::string> Notices() {
    std::vector<std::string> notices;
    for (const std::string& call : host().calls) {
      if (call.rfind("PostNotice ", 0) == 0) notices.push_back(call.substr(11));
    }
    return notices;
  }
  // The journal since the last call, as "kind detail" lines.
  std::vector<std::string> NewEvents() {
    std::vector<std::string> lines;
    for (const platform::sim::Event& event : machine().Events(since_)) {
      lines.push_back(event.kind + " " + event.detail);
      since_ = event.sequence;
    }
    return lines;
  }

  std::unique_ptr<CCDavIrizevez> component_;
  std::int64_t since_ = 0;
};

TEST_F(DispatcherTest, RequestsReplyThroughAFreshChannelAndAFailedReplyEndsTheCommand) {
  for (const auto& [cmd, code] : {std::pair{"REQ_SYSCONF", "GISC"},
                                  {"REQ_WINCONF", "GIWC"},
                                  {"REQ_SYSCONF_SAVE", "GISC_SAVE"},
                                  {"REQ_WINCONF_SAVE", "GIWC_SAVE"}}) {
    host().calls.clear();
    Handle(cmd, "");
    ASSERT_EQ(host().calls.size(), 2u) << cmd;
    EXPECT_EQ(host().calls[0], "GetReplyChannel") << cmd;
    const std::string prefix = std::string("SendReply DavIrizevez\t") + code +
                               "\t<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot>"
                               "<Configuration SpecVersion=\"1.0.0\">";
    EXPECT_EQ(host().calls[1].rfind(prefix, 0), 0u) << host().calls[1];
    EXPECT_EQ(host().calls[1].substr(host().calls[1].size() - 28), "</Configuration></DocRoot> 0")
        << "flags are 0";
  }
  host().failing.insert("SendReply");
  Handle("REQ_SYSCONF", "");
  EXPECT_NE(LogText(*component_).find("[err:CCDavIrizevez.IClientComponent_Handle] line 20, "),
            std::string::npos)
      << "a host that refuses the reply fails the command, which is logged";
}

TEST_F(DispatcherTest, ApplySystemDocumentRestartsTheShellAndClosesBlockedTools) {
  const std::uint32_t explorer = machine().RunningProcesses().back().processId;
  // Property windows run in their own process, which outlives the shell.
  const std::uint32_t rundll = machine().StartProcess("C:\\WINDOWS\\system32\\rundll32.exe");
  machine().OpenWindow("인터넷 옵션", "#32770", rundll);
  machine().OpenWindow("시스템 등록 정보", "#32770", rundll);
  machine().StartProcess("C:\\WINDOWS\\system32\\cmd.exe");
  const platform::LocalTime start = platform().clock().Now();

  Handle("APL_SYSCONF", CmdPrompt("1") + "\x1dTrue");
  EXPECT_GE(platform().clock().Now() - start, std::chrono::seconds(2)) << "WaitSeconds(2)";
  EXPECT_EQ(DisableCmd(), 1);
  EXPECT_EQ(Notices(),
            (std::vector<std::string>{"DavIrizevez APL_SYSCONF 1", "DavIrizevez APL_SYSCONF 2",
                                      "DavIrizevez APL_FASETTING 1"}));
  std::vector<std::string> titles;
  for (const auto& window : machine().TopWindows()) titles.push_back(window.title);
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "인터넷 옵션"), 0)
      << "the Internet options window must be sent WM_CLOSE";
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "시스템 등록 정보"), 1)
      << "System Properties stays open unless its flag is set";
  std::vector<std::string> running;
  for (const auto& process : machine().RunningProcesses()) {
    running.push_back(process.exeFile);
    if (process.exeFile == "explorer.exe") {
      EXPECT_NE(process.processId, explorer) << "a new shell must have replaced the old one";
    }
  }
  EXPECT_EQ(std::count(running.begin(), running.end(), "cmd.exe"), 0)
      << "a blocked command prompt is ended";
}

TEST_F(DispatcherTest, MakeQsfProducesTheSystemBodyBeforeTheWindowBody) {
  Handle("MAKE_QSF", "");
  const std::string log = LogText(*component_);
  const std::size_t system = log.find("CCDavIrizevez.MakeSysConfigXML Start");
  const std::size_t window = log.find("CCDavIrizevez.MakeWinConfigXML Start");
  ASSERT_NE(system, std::string::npos) << log;
  EXPECT_LT(system, window) << log;
  std::string saved;
  platform().files().ReadAll(component_->componentFolder() + "\\WinSetInitial.qsf", &saved);
  EXPECT_LT(saved.find("<ControlMngr>"), saved.find("<StartMenu>")) << saved;
}

TEST_F(DispatcherTest, ManagerDocumentWithoutUsedAccessAppliesItsOtherSections) {
  platform().files().WriteAll(
      component_->componentFolder() + "\\WinAdmin.qsf",
      Document("<ControlMngr><WinXP><Row ID=\"NoControlPanel\" Value=\"0\" /></WinXP>"
               "</ControlMngr><StartMenu><WinXP><Row ID=\"HelpMenuView\" Value=\"1\" /></WinXP>"
               "</StartMenu><WinSkill><Row ID=\"NetworkIconDel\" Value=\"1\" /></WinSkill>"
               "<ExplorerConfig TitleBar=\"Manager\" DownFolder=\"\"><Row ID=\"TitleBar\" "
               "Value=\"1\" /></ExplorerConfig><FileOpt><Row ID=\"Garbage\" Value=\"1\" />"
               "</FileOpt>"));
  Handle("APL_MNGLOGIN", "NoKillExplorer");
  util::Log log(platform(), component_->componentFolder());
  mdRegistry registry(log);
  const char* policies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  EXPECT_EQ(registry.ReadDWORD(platform::kHKeyLocalMachine, policies, "NoControlPanel", -1), 0);
  EXPECT_EQ(registry.ReadDWORD(platform::kHKeyCurrentUser, policies, "NoSMHelp", -1), 1);
  EXPECT_EQ(registry.ReadDWORD(platform::kHKeyLocalMachine, policies, "NoNetHood", -1), 1);
  EXPECT_EQ(registry.ReadString(platform::kHKeyCurrentUser,
                                "Software\\Microsoft\\Internet Explorer\\Main", "Window Title", ""),
            "Manager");
  EXPECT_EQ(component_->state().requests.cleanUp.garbage, "1");
  EXPECT_EQ(Notices(), std::vector<std::string>{"DavIrizevez APL_FADISABLE 1"})
      << "no clean-up notices at a login";
}

TEST_F(DispatcherTest, EditorCommandsApplyNothingWithoutAnEditor) {
  Handle("WINCONFIG", "");
  Handle("SYSCONFIG", "");
  EXPECT_TRUE(host().calls.empty());
  EXPECT_TRUE(NewEvents().empty());
  EXPECT_NE(LogText(*component_).find("no settings editor"), std::string::npos);
}

// The editors with a script as the administrator.
class EditorCommandTest : public DispatcherTest {
 protected:
  void Edit(const std::string& cmd, const std::string& script) {
    ui_ = std::make_shared<editors::ScriptUi>(editors::ParseScript(script), platform().dialogs());
    component_->SetFormUi(ui_);
    Handle(cmd, "");
  }
  bool ShellRestarted() {
    for (const std::string& event : NewEvents()) {
      if (event.find("explorer.exe") != std::string::npos) return true;
    }
    return false;
  }
  std::shared_ptr<editors::ScriptUi> ui_;
};

TEST_F(EditorCommandTest, SystemEditorAppliesAnEditedDocumentAndRestartsOnlyForChoice6) {
  Edit("SYSCONFIG", "check \"윈도우 명령 프롬프트 실행 차단\"\nok\nclick \"재부팅 후 적용\"");
  EXPECT_EQ(ui_->error(), "");
  EXPECT_EQ(DisableCmd(), 1);
  EXPECT_EQ(Notices(), std::vector<std::string>{"DavIrizevez APL_FASETTING 1"});
  EXPECT_FALSE(ShellRestarted());
  host().calls.clear();
  Edit("SYSCONFIG", "uncheck chkUseAccess(0)\nok\nchoose 6");
  EXPECT_EQ(DisableCmd(), 0);
  EXPECT_TRUE(ShellRestarted());
  EXPECT_EQ(Notices(), std::vector<std::string>{"DavIrizevez APL_FASETTING 1"});
}

TEST_F(EditorCommandTest, WindowEditorChangesTheDisplayAndRestartsTheShellForChoice6) {
  Edit("WINCONFIG", "select cboWinSkill(0) \"800 x 600\"\nok\nchoose 6");
  EXPECT_EQ(ui_->error(), "");
  const std::vector<std::string> events = NewEvents();
  const auto has = [&](const std::string& text) {
    return std::any_of(events.begin(), events.end(), [&](const std::string& event) {
      return event.find(text) != std::string::npos;
    });
  };
  EXPECT_TRUE(has("800x600")) << "display change to the mode chosen in the editor";
  EXPECT_TRUE(has("explorer.exe"));
  for (const std::string& notice : Notices()) {
    EXPECT_EQ(notice.find("DavIrizevez "), std::string::npos) << notice;
  }
}

TEST_F(EditorCommandTest, UnchangedCancelledOrFailedEditsApplyNothing) {
  const struct {
    const char* cmd;
    const char* script;
  } cases[] = {
      {"SYSCONFIG", "ok\nchoose 6"},  // OK without a change
      {"WINCONFIG", "ok\nchoose 6"},
      {"SYSCONFIG", "check chkFolder(0)\ncancel"},
      {"WINCONFIG", "check chkFile(1)\nclose"},
      // The script fails after OK built a document: the command ends before applying.
      {"WINCONFIG", "check chkFile(1)\nok\nchoose close\nclick nothing"},
  };
  for (const auto& c : cases) {
    host().calls.clear();
    Edit(c.cmd, c.script);
    EXPECT_TRUE(Notices().empty()) << c.cmd << ": " << c.script;
    EXPECT_FALSE(ShellRestarted()) << c.cmd << ": " << c.script;
    for (const char* saved : {"\\WinConfig.qsf", "\\SysConfig.qsf"}) {
      EXPECT_EQ(platform().files().GetAttributes(component_->componentFolder() + saved),
                platform::kInvalidAttributes)
          << c.cmd << ": " << c.script << " applied and saved a document";
    }
  }
}

}  // namespace
}  // namespace dav::core::testing
