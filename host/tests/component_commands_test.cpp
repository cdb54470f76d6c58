// davhost as the component's host, driven as a person drives it: identity, one lifetime per
// handle, a session over stdin, the day's log, and the client settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

using namespace std::string_literals;

class ComponentCommandsTest : public MachineTest {};

const std::string kComponentKey =
    "HKLM\\Software\\quorel\\brisal client\\Components\\DavIrizevez.CCDavIrizevez";

TEST_F(ComponentCommandsTest, IdentityAndOneLifetimeInTheDaysLog) {
  EXPECT_EQ(Ok({"identity"}),
            "Company    QUOREL\n"
            "Name       DavIrizevez\n"
            "Version    " DAV_PROJECT_VERSION
            "\n"
            "Installed  True\n");

  EXPECT_EQ(Ok({"handle", "APL_PREVWS"}), "") << "APL_PREVWS without its documents prints nothing";
  const std::string log = Ok({"log"});
  const std::size_t start = log.find("\tCCDavIrizevez.IClientComponent_Handle Start\n");
  EXPECT_NE(start, std::string::npos) << log;
  EXPECT_LT(log.find("\tCCDavIrizevez.IClientComponent_Handle End\n"),
            log.find("\tDavIrizevez Terminate\n", start))
      << "the day's log shows the command, then the end of the lifetime:\n"
      << log;
  EXPECT_EQ(log.find('\r'), std::string::npos) << "log lines are printed with LF";
  EXPECT_NE(Ok({"log", "--debug"}).find(" : 스타트\n"), std::string::npos)
      << "the debug log is decoded from code page 949";
  EXPECT_NE(Ok({"fs", "ls", "C:\\Program Files\\brisal client\\Components\\DavIrizevez\\log"})
                .find("DavIrizevez"),
            std::string::npos)
      << "the component's folder is the client folder + \\Components\\DavIrizevez";
}

TEST_F(ComponentCommandsTest, SessionIsOneLifetimeAndTheClientSettingsReachTheComponent) {
  Ok({"reg", "set", kComponentKey, "EnableAutoDocumentURL", "REG_SZ", "1"});
  const std::string doc = HostFile(
      "Sys.qsf", "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot a=\"\xb0\xa1\"/>");
  const std::string input =
      "APL_PREVWS\n\nAPL_PREVWS\t<DocRoot/>\\x1dTrue\r\nAPL_PREVWS\t@" + doc + "\\x1dFalse\n";
  EXPECT_EQ(Ok({"session"}, &input), "NOTICE DavIrizevez APL_DOCURL 1\n")
      << "the notice of initialisation comes once per lifetime";
  const std::string log = Ok({"log"});
  EXPECT_EQ(Count(log, "IClientComponent_Handle Start"), 3) << log;
  EXPECT_EQ(Count(log, "DavIrizevez Terminate"), 1) << log;

  EXPECT_EQ(Ok({"handle", "APL_PREVWS", "--client-key", "Software\\other client"}), "")
      << "the component reads its key below the client key the host reports";
  Ok({"handle", "APL_PREVWS", "--client-folder", "C:\\Clients\\second\\"});
  Ok({"machine", "set", "client_folder", "C:\\Clients\\second"});
  EXPECT_EQ(Count(Ok({"log"}), "Terminate"), 1)
      << "a missing client folder is made, and the machine's client_folder is the default";
}

TEST_F(ComponentCommandsTest, BadInputGivesOneLineAndRunsNothing) {
  const std::string missing = (folder_.path() / "missing.qsf").string();
  const std::string broken = HostFile(
      "broken.qsf", "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot a=\"\xff\xff\"/>");
  const std::string good = HostFile("good.qsf", "<DocRoot/>");
  const std::string badEscape = "APL_PREVWS\tC:\\Temp\n";
  const std::string missingAt = "APL_SYSCONF\t@" + missing + "\n";
  ExpectOneErrorLine(Run({"log"}), "a log of a day without one");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"handle"}, "handle without a command"},
      {{"handle", "APL_WINCONF", "--doc", missing}, "a missing document file"},
      {{"handle", "APL_WINCONF", "--doc", broken}, "a document its encoding cannot decode"},
      {{"handle", "APL_WINCONF", "x", "--doc", good}, "a protocol and a document"},
      {{"handle", "APL_WINCONF", "--doc", good, "--restart", "maybe"}, "a restart flag"},
      {{"handle", "X", "--client-folder", "relative"}, "a client folder without a drive"},
      {{"handle", "X", "--client-key", "HKEY_LOCAL_MACHINE\\Software"}, "a key with its hive"},
      {{"log", "--date", "261332"}, "a day that does not exist"},
      {{"log", "--date", "20261208"}, "a date not as yymmdd"},
      {{"log", "--date", "991231"}, "a day without a log"},
  };
  for (const auto& [arguments, what] : cases) {
    const RunResult r = Run(arguments);
    ExpectOneErrorLine(r, what);
    EXPECT_EQ(r.out, "") << what;
  }
  ExpectOneErrorLine(Run({"session"}, &badEscape), "a session line with a bad escape");
  const RunResult r = Run({"session"}, &missingAt);
  ExpectOneErrorLine(r, "a session line naming a missing document");
  EXPECT_NE(r.err.find("session line 1"), std::string::npos) << r.err;
  const std::string undecodable = Run({"handle", "X", "--doc", broken}).err;
  EXPECT_NE(undecodable.find("cannot decode"), std::string::npos) << undecodable;
}

}  // namespace
}  // namespace dav::host::testing
