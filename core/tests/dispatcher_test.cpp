// The command table on the simulated PC: stages of the notices, the shell restart and the
// windows and tools it closes, the display change, the protocol's fields, manager login and
// log-off. The machine's journal shows what happened to the PC.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/component.h"
#include "core/tests/component_fixture.h"
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
const std::string kWindowDocument = Document(
    "<WinSkill><Row ID=\"NumLock\" Value=\"1\" /><DisplayList DPFirst=\"800 x 600\" "
    "ColorQuality=\"16 bit\" Hz=\"75 Hz\" /></WinSkill>");

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
  static long CountKind(const std::vector<std::string>& events, const std::string& kind) {
    return std::count_if(events.begin(), events.end(),
                         [&](const std::string& e) { return e.rfind(kind + " ", 0) == 0; });
  }
  void PutFile(const std::string& name, const std::string& text) {
    platform().files().WriteAll(component_->componentFolder() + "\\" + name, text);
  }
  long AppliedSystemDocuments() {
    const std::string log = LogText(*component_);
    long n = 0;
    for (auto at = log.find("ApplySysConfigXML Start"); at != std::string::npos;
         at = log.find("ApplySysConfigXML Start", at + 1)) {
      ++n;
    }
    return n;
  }

  std::unique_ptr<CCDavIrizevez> component_;
  std::int64_t since_ = 0;
};

TEST_F(DispatcherTest, RequestsReplyThroughAFreshChannelAndOnlyToTheirExactName) {
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
  host().calls.clear();
  Handle("req_sysconf", "");
  Handle("REQ_SYSCONF ", "");
  EXPECT_TRUE(host().calls.empty()) << "commands compare exactly";

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

TEST_F(DispatcherTest, ProtocolFieldsDecideTheRestartAndEndTheCommandWhenMissing) {
  Handle("APL_SYSCONF", CmdPrompt("1") +
                            "\x1d"
                            "0");
  EXPECT_EQ(CountKind(NewEvents(), "process.end"), 0) << "0 asks for no restart";
  EXPECT_EQ(Notices().size(), 3u);

  host().calls.clear();
  Handle("APL_SYSCONF", CmdPrompt("0"));
  EXPECT_EQ(DisableCmd(), 0) << "field 0 is applied without a character 29";
  EXPECT_EQ(Notices(), (std::vector<std::string>{"DavIrizevez APL_SYSCONF 1"}))
      << "the missing field 1 ends the command before stage 2";
  EXPECT_NE(LogText(*component_).find("[err:CCDavIrizevez.IClientComponent_Handle] line 50, 9, "),
            std::string::npos)
      << LogText(*component_);

  host().calls.clear();
  const long applied = AppliedSystemDocuments();
  Handle("APL_SYSCONF", "");
  EXPECT_EQ(Notices(), (std::vector<std::string>{"DavIrizevez APL_SYSCONF 1"}));
  EXPECT_EQ(AppliedSystemDocuments(), applied) << "an empty protocol applies nothing";

  host().calls.clear();
  Handle("APL_SYSCONF", CmdPrompt("1") +
                            "\x1d"
                            "maybe");
  EXPECT_EQ(Notices().size(), 1u) << "a field 1 that is no Boolean ends the command";
}

TEST_F(DispatcherTest, WindowDocumentChangesTheDisplayOnlyWhenTheShellRestarts) {
  Handle("APL_WINCONF", kWindowDocument +
                            "\x1d"
                            "False");
  std::vector<std::string> events = NewEvents();
  EXPECT_EQ(CountKind(events, "display.change"), 0);
  EXPECT_EQ(CountKind(events, "process.end"), 0);
  EXPECT_EQ(Notices(),
            (std::vector<std::string>{"DavIrizevez APL_WINCONF 1", "DavIrizevez APL_WINCONF 2"}));

  Handle("APL_WINCONF", kWindowDocument +
                            "\x1d"
                            "true");
  events = NewEvents();
  ASSERT_GE(CountKind(events, "display.change"), 1) << ::testing::PrintToString(events);
  for (const std::string& e : events) {
    if (e.rfind("display.change", 0) == 0) {
      EXPECT_NE(e.find("800x600x16@75"), std::string::npos)
          << "the display request of the document just applied: " << e;
    }
  }
  EXPECT_EQ(CountKind(events, "process.end"), 1) << ::testing::PrintToString(events);
}

TEST_F(DispatcherTest, ManagerLoginAndLogoffSwitchBetweenTheDocuments) {
  Handle("APL_SYSCONF", CmdPrompt("1") +
                            "\x1d"
                            "False");
  PutFile("WinAdmin.qsf", CmdPrompt("0"));
  host().calls.clear();
  NewEvents();

  Handle("APL_LOGIN", "");
  EXPECT_EQ(DisableCmd(), 0) << "the manager's document lifts the block";
  std::vector<std::string> events = NewEvents();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(),
            "messagebox 관리자 로그인 | style 0x40 | [관리자 로그인] 후 PC를 재부팅하면,\r\n\r\n"
            "현재 설정한 [윈도우 설정] 및 [보안 설정]이\r\n\r\n정상적으로 적용되지 않을 수 "
            "있으므로, 반드시 \r\n\r\n[관리자 로그오프] 후 재부팅 해주시기 바랍니다.");
  EXPECT_EQ(CountKind(events, "process.end"), 1) << "explorer.exe ended";

  Handle("APL_LOGOFF", "NoKillExplorer");
  EXPECT_EQ(DisableCmd(), 1) << "log-off puts the user's saved document back";
  EXPECT_EQ(CountKind(NewEvents(), "process.end"), 0) << "NoKillExplorer keeps the shell";
  Handle("APL_MNGLOGIN", "nokillexplorer");
  events = NewEvents();
  EXPECT_EQ(CountKind(events, "messagebox"), 0) << "APL_MNGLOGIN shows no warning";
  EXPECT_EQ(CountKind(events, "process.end"), 1) << "the word compares exactly";
  EXPECT_EQ(Notices(),
            (std::vector<std::string>{"DavIrizevez APL_FADISABLE 1", "DavIrizevez APL_FAENABLE 1",
                                      "DavIrizevez APL_FADISABLE 1"}));
}

TEST_F(DispatcherTest, PreviousWindowSettingsAndInitialDocument) {
  Handle("APL_PREVWS", "");
  EXPECT_TRUE(NewEvents().empty());
  EXPECT_TRUE(host().calls.empty());
  EXPECT_EQ(DisableCmd(), -1) << "without its files APL_PREVWS does nothing";

  PutFile("WinAdmin.qsf", CmdPrompt("1"));
  Handle("APL_PREVWS", "");
  EXPECT_EQ(DisableCmd(), 1) << "the manager document is applied";
  EXPECT_TRUE(NewEvents().empty()) << "no restart";

  Handle("MAKE_QSF", "");
  std::string saved;
  ASSERT_EQ(
      platform().files().ReadAll(component_->componentFolder() + "\\WinSetInitial.qsf", &saved),
      platform::kErrorSuccess);
  const auto controlPanel = saved.find("<ControlMngr>");
  const auto winSkill = saved.find("<WinSkill>");
  EXPECT_TRUE(controlPanel != std::string::npos && winSkill != std::string::npos &&
              controlPanel < winSkill)
      << "the system sections, then the window sections: " << saved;
}

TEST_F(DispatcherTest, EditorCommandsApplyNothingWithoutAnEditor) {
  Handle("WINCONFIG", "");
  Handle("SYSCONFIG", "");
  EXPECT_TRUE(host().calls.empty());
  EXPECT_TRUE(NewEvents().empty());
  EXPECT_NE(LogText(*component_).find("no settings editor"), std::string::npos);
}

}  // namespace
}  // namespace dav::core::testing
