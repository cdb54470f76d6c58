// davhost as scripts drive it: exit codes, warnings for commands the component does not
// know, documents saved for --doc, --json, and several davhost processes at once.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

class ScriptingTest : public MachineTest {
 protected:
  std::string ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

TEST_F(ScriptingTest, ExitCodesTellUnknownCommandsAndLoggedErrorsApart) {
  // --quiet: no change report, so that stderr holds the warnings alone.
  RunResult r = Run({"handle", "apl_winconf", "--quiet"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err,
            "davhost: warning: the component has no command 'apl_winconf'; commands are "
            "case-sensitive: APL_WINCONF?\n");
  r = Run({"handle", "BOGUS_CMD"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("no command 'BOGUS_CMD'"), std::string::npos) << r.err;
  EXPECT_EQ(Count(Ok({"log"}), "IClientComponent_Handle Start"), 2)
      << "an unknown command is still delivered";

  r = Run({"handle", "APL_SYSCONF", "not a document"});
  EXPECT_EQ(r.exitCode, 4) << "the component logged the parse error:\n" << r.err;
  EXPECT_NE(r.err.find("the component logged: Err (reason)"), std::string::npos) << r.err;

  r = Run({"handle", "REQ_WINCONF", "--quiet"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");

  const std::string worst = "BOGUS\nAPL_WINCONF\tbroken\nREQ_SYSCONF\n";
  EXPECT_EQ(Run({"session"}, &worst).exitCode, 4) << "a session ends with its worst command";
  const std::string unknownOnly = "REQ_SYSCONF\nreq_sysconf\n";
  EXPECT_EQ(Run({"session"}, &unknownOnly).exitCode, 3);

  const std::string help = RunDavhost({"--help"}).out;
  for (const std::string code : {"  0  ", "  1  ", "  2  ", "  3  ", "  4  "}) {
    EXPECT_NE(help.find(code), std::string::npos) << "--help lists exit code" << code << help;
  }
  const std::string version = RunDavhost({"--version"}).out;
  std::smatch match;
  const std::string identity = Ok({"identity"});
  ASSERT_TRUE(std::regex_search(identity, match, std::regex("Version +(\\S+)")));
  EXPECT_EQ(version, "davhost " DAV_PROJECT_VERSION "\nDavIrizevez " + match[1].str() + "\n");
}

TEST_F(ScriptingTest, SavedDocumentsApplyAgainWithDoc) {
  const std::string sys = (folder_.path() / "sys.qsf").string();
  EXPECT_EQ(Ok({"handle", "REQ_SYSCONF", "-o", sys}),
            "Saved the document of REQ_SYSCONF to " + sys + " (ks_c_5601-1987)\n");
  const std::string bytes = ReadHost(sys);
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot>", 0), 0u)
      << "the document alone, without the reply's prefix";
  EXPECT_NE(bytes.find("DisplayName=\"\xb0\xfc\xb8\xae \xb5\xb5\xb1\xb8\""), std::string::npos)
      << "Korean text as code page 949 bytes (관리 도구 of the control panel)";
  RunResult r = Run({"handle", "APL_SYSCONF", "--doc", sys, "--restart", "False"});
  EXPECT_EQ(r.exitCode, 0) << r.err;

  const std::string win = (folder_.path() / "win.qsf").string();
  Ok({"handle", "REQ_WINCONF_SAVE", "-o", win});
  EXPECT_EQ(Run({"handle", "APL_WINCONF", "--doc", win, "--restart", "False"}).exitCode, 0);

  const std::string initial = (folder_.path() / "initial.qsf").string();
  Ok({"handle", "MAKE_QSF", "-o", initial});
  EXPECT_EQ(ReadHost(initial),
            ReadHost((folder_.path() / "m" / "drives" / "C" / "Program Files" / "brisal client" /
                      "Components" / "DavIrizevez" / "WinSetInitial.qsf")
                         .string()))
      << "MAKE_QSF's saved document, byte for byte";

  ExpectOneErrorLine(Run({"handle", "APL_WINCONF", "-o", win}), "-o of a command without one");
  ExpectOneErrorLine(Run({"handle", "REQ_SYSCONF", "-o", ""}), "an empty -o");
}

TEST_F(ScriptingTest, JsonIsOneDocumentPerRun) {
  const std::string input = "REQ_SYSCONF\nbogus\n";
  const RunResult r = Run({"session", "--json"}, &input);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "") << "warnings are inside the document";
  EXPECT_EQ(Count(r.out, "\n"), 1) << "one line, one document:\n" << r.out;
  EXPECT_EQ(r.out.rfind("{\"lifetime\":{\"notices\":[],\"replies\":[],\"warnings\":[]},"
                        "\"commands\":[{\"command\":"
                        "\"REQ_SYSCONF\",\"known\":true,\"notices\":[],\"replies\":[{\"code\":"
                        "\"GISC\",\"text\":\"DavIrizevez\\tGISC\\t<?xml",
                        0),
            0u)
      << r.out;
  EXPECT_NE(r.out.find("{\"command\":\"bogus\",\"known\":false,\"notices\":[],\"replies\":[],"
                       "\"warnings\":[\"the component has no command 'bogus'"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"summary\":{\"commands\":2,\"unknown_commands\":1,"
                       "\"commands_with_errors\":0,\"refused_writes\":0},\"exit_code\":3}\n"),
            std::string::npos)
      << r.out;

  const RunResult applied = Run({"handle", "APL_SYSCONF", "x", "--json"});
  EXPECT_EQ(applied.exitCode, 4);
  EXPECT_NE(applied.out.find("\"notices\":[{\"component\":\"DavIrizevez\",\"code\":\"APL_SYSCONF\","
                             "\"stage\":1}]"),
            std::string::npos)
      << applied.out;
  EXPECT_NE(applied.out.find("\"errors_logged\":[\"Err (errorCode) -> "), std::string::npos)
      << applied.out;
}

TEST_F(ScriptingTest, ListingsAsJson) {
  Ok({"reg", "set", "HKCU\\Software\\T", "이름", "REG_SZ", "a\"b"});
  EXPECT_EQ(Ok({"reg", "get", "HKCU\\Software\\T", "--json"}),
            "{\"key\":\"HKEY_CURRENT_USER\\\\Software\\\\T\",\"values\":[{\"name\":\"이름\","
            "\"type\":\"REG_SZ\",\"data\":\"a\\\"b\"}],\"subkeys\":[]}\n");
  EXPECT_EQ(Ok({"reg", "get", "HKCU\\Software\\T", "이름", "--json"}),
            "{\"key\":\"HKEY_CURRENT_USER\\\\Software\\\\T\",\"name\":\"이름\",\"type\":\"REG_SZ\","
            "\"data\":\"a\\\"b\"}\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> listings = {
      {{"ps", "--json"}, "\"pid\":4,\"parent\":0,\"name\":\"System\",\"path\":null,\"path_error\""},
      {{"ps", "--json"}, "\"name\":\"explorer.exe\",\"path\":\"C:\\\\WINDOWS\\\\explorer.exe\""},
      {{"windows", "--json"}, "\"class\":\"Progman\",\"title\":\"Program Manager\""},
      {{"display", "--json"}, "{\"current\":{\"width\":"},
      {{"display", "--json"}, "\"bits\":32,\"refresh_rates\":[56,60,75]"},
      {{"machine", "info", "--json"}, "\"code_page\":\"949\""},
      {{"desktop", "--json"}, "{\"auto_recover\":false,\"user_desktop\":\"C:\\\\Documents"},
      {{"desktop", "--json"}, "{\"name\":\"내 컴퓨터\",\"state\":\"shown\"}"},
      {{"startup", "--json"}, "{\"protection\":{\"store\":false,\"on\":false},\"keys\":[{"},
      {{"machine", "info", "--json"}, "{\"hive\":\"HKEY_CURRENT_USER\",\"keys\":"},
  };
  for (const auto& [arguments, part] : listings) {
    const std::string out = Ok(arguments);
    EXPECT_NE(out.find(part), std::string::npos) << part << " in\n" << out;
    EXPECT_EQ(Count(out, "\n"), 1) << "one document on one line";
  }
  Ok({"display", "set", "800x600x16@60"});
  const std::string events = Ok({"events", "--json"});
  EXPECT_NE(events.find("{\"events\":[{\"sequence\":"), std::string::npos) << events;
  EXPECT_NE(events.find("\"kind\":\"display.change\""), std::string::npos) << events;
}

TEST_F(ScriptingTest, ReadOnlyMachineIsReadAndNotChanged) {
  Ok({"reg", "set", "HKCU\\Software\\T", "v", "REG_SZ", "값"});
  const std::filesystem::path machine = folder_.path() / "m";
  namespace fs = std::filesystem;
  fs::permissions(folder_.path(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
  for (const fs::path& path : {machine, machine / "registry.db"}) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  auto run = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--machine", machine.string()});
    return RunDavhostAsNobody(arguments);
  };
  RunResult r = run({"reg", "get", "HKCU\\Software\\T", "v"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "값\n");
  EXPECT_EQ(run({"fs", "ls", "C:\\"}).exitCode, 0);
  for (const std::vector<std::string>& change :
       {std::vector<std::string>{"reg", "set", "HKCU\\Software\\T", "v", "REG_SZ", "x"},
        std::vector<std::string>{"handle", "REQ_SYSCONF"},
        std::vector<std::string>{"machine", "snapshot", "s"}}) {
    r = run(change);
    ExpectOneErrorLine(r, ::testing::PrintToString(change));
    EXPECT_NE(r.err.find("is read-only"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("damaged"), std::string::npos) << r.err;
  }
  fs::permissions(machine, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(Ok({"reg", "get", "HKCU\\Software\\T", "v"}), "값\n");
}

// Processes that start on a machine at the same moment all make the client's and the
// component's folders: a folder another process made a moment ago is there as wanted.
TEST_F(ScriptingTest, EightAtOnceAllSucceed) {
  for (int round = 0; round < 50; ++round) {
    const std::string client = "C:\\Race" + std::to_string(round) + "\\client";
    std::vector<std::vector<std::string>> runs(
        8, WithMachine({"handle", "REQ_NOTHING", "--client-folder", client, "--quiet"}));
    const std::vector<RunResult> results = RunDavhostTogether(runs);
    for (const RunResult& r : results) {
      ASSERT_EQ(r.exitCode, 3) << "round " << round << ": " << r.err;
      ASSERT_EQ(Count(r.err, "\n"), 1) << "only the unknown command's warning: " << r.err;
    }
  }
}

TEST_F(ScriptingTest, SmallFrictions) {
  // log --date as yyyy-mm-dd too.
  Ok({"handle", "APL_PREVWS"});
  const std::string events = Ok({"log"});
  std::smatch day;
  ASSERT_TRUE(std::regex_search(events, day, std::regex(R"(\[(\d{4})-(\d\d)-(\d\d) )")));
  EXPECT_EQ(Ok({"log", "--date", day[1].str() + "-" + day[2].str() + "-" + day[3].str()}), events);
  EXPECT_EQ(Ok({"log", "--date", day[1].str().substr(2) + day[2].str() + day[3].str()}), events);
  ExpectOneErrorLine(Run({"log", "--date", "2026-13-01"}), "a month that does not exist");
  ExpectOneErrorLine(Run({"log", "--date", "2026/12/08"}), "slashes");

  // display set with a capital X.
  EXPECT_EQ(Ok({"display", "set", "1024X768x32@60"}), "Display mode 1024x768x32@60\n");

  // The code page cannot change under Korean text.
  const RunResult codePage = Run({"machine", "set", "code_page", "1252"});
  ExpectOneErrorLine(codePage, "code_page over a registry holding code page 949 text");
  EXPECT_NE(codePage.err.find("holds text"), std::string::npos) << codePage.err;
  Ok({"machine", "set", "code_page", "949"});

  // A REGEDIT4 file is ANSI text of the machine's code page.
  const std::string reg4 = HostFile("old.reg",
                                    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Old]\r\n"
                                    "\"\xc0\xcc\xb8\xa7\"=\"\xb0\xa1\xb3\xaa\"\r\n"
                                    "\"Path\"=hex(2):25,c0,cc,25,00\r\n");
  Ok({"reg", "import", reg4});
  EXPECT_EQ(Ok({"reg", "get", "HKCU\\Software\\Old", "이름"}), "가나\n");
  EXPECT_EQ(Ok({"reg", "get", "HKCU\\Software\\Old", "Path"}), "%이%\n");

  // ps end on a process that cannot be opened ends nothing and says so (the 95 family finds
  // processes by name without opening them).
  Ok({"machine", "set", "platform_id", "1"});
  Ok({"ps", "start", "C:\\Tools\\guard.exe", "--protected"});
  const RunResult end = Run({"ps", "end", "guard.exe"});
  ExpectOneErrorLine(end, "ending a protected process");
  EXPECT_NE(end.err.find("could not open process"), std::string::npos) << end.err;
  EXPECT_NE(Ok({"ps"}).find("guard.exe"), std::string::npos);
}

}  // namespace
}  // namespace dav::host::testing
