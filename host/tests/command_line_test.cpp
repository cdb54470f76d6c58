// davhost's command line as a person meets it: mistyped commands, attribute changes, bytes
// that are not text, what the component logged as failed, and sessions cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

class CommandLineTest : public MachineTest {
 protected:
  // The first bytes of an example document: a document that does not parse.
  std::string TruncatedDocument() {
    std::ifstream in(std::filesystem::path(DAV_EXAMPLES_DIR) / "WinConfig.qsf", std::ios::binary);
    const std::string whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return HostFile("truncated.qsf", whole.substr(0, 300));
  }
};

void ExpectOneErrorLine(const RunResult& r, int exitCode, const std::string& what) {
  EXPECT_EQ(r.exitCode, exitCode) << what;
  dav::host::testing::ExpectOneErrorLine(r, what);
}

TEST_F(CommandLineTest, ParseErrorsNameTheWordAndTheHelpOfTheCommandThatFailed) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"bogus"}, "davhost: unknown command 'bogus' (see davhost --help)\n"},
      {{"reg", "bogus"}, "davhost: unknown command 'bogus' (see davhost reg --help)\n"},
      {{"fs", "bogus", "C:\\"}, "davhost: unknown command 'bogus' (see davhost fs --help)\n"},
      {{"windows", "bogus"}, "davhost: unknown command 'bogus' (see davhost windows --help)\n"},
      {{"reg"}, "davhost: A subcommand is required (see davhost reg --help)\n"},
      {{"reg", "get"}, "davhost: KEY is required (see davhost reg get --help)\n"},
  };
  for (const auto& [arguments, expected] : cases) {
    const RunResult r = Run(arguments);
    EXPECT_EQ(r.exitCode, 2) << ::testing::PrintToString(arguments);
    EXPECT_EQ(r.err, expected) << "davhost " << ::testing::PrintToString(arguments);
  }
}

TEST_F(CommandLineTest, AttribSetsAndClearsEachAttributeInEitherCase) {
  Ok({"fs", "mkdir", "C:\\Data"});
  Ok({"fs", "put", HostFile("notes.txt", "x"), "C:\\Data\\notes.txt"});
  const std::string file = "C:\\Data\\notes.txt";
  EXPECT_EQ(Ok({"fs", "attrib", file, "+r", "+h", "+S", "+a"}), "RHS-A  " + file + "\n");
  EXPECT_EQ(Ok({"fs", "attrib", file, "-r", "-h", "-s"}), "----A  " + file + "\n")
      << "-h clears hidden (it is no help flag here) and lowercase letters clear as uppercase";
  EXPECT_EQ(Ok({"fs", "attrib", file, "+H", "-A"}), "-H---  " + file + "\n");
  EXPECT_EQ(Ok({"fs", "attrib", file, "-H", "+R"}), "R----  " + file + "\n");

  for (const std::string change : {"-x", "-X", "+q", "-D"}) {
    const RunResult r = Run({"fs", "attrib", file, change});
    ExpectOneErrorLine(r, 1, "attrib " + change);
    EXPECT_EQ(r.err,
              "davhost: unknown attribute change '" + change + "' (use +R -R +H -H +S -S +A -A)\n");
  }
  EXPECT_EQ(Ok({"fs", "attrib", file}), "R----  " + file + "\n")
      << "a refused change leaves the attributes as they were";
}

TEST_F(CommandLineTest, ArgumentsThatAreNotUtf8AreRefusedBeforeAnythingRuns) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"fs", "mkdir", "C:\\bad\xffname"}, "argument 5"},          // a byte no UTF-8 has
      {{"fs", "mkdir", "C:\\bad\xc0\xafname"}, "argument 5"},      // an overlong "/"
      {{"fs", "mkdir", "C:\\bad\xed\xa0\x80name"}, "argument 5"},  // a UTF-16 surrogate
      {{"fs", "mkdir", "C:\\bad\xea\xb0"}, "argument 5"},          // a cut-off character
      {{"windows", "open", "\xff"}, "argument 5"},
      {{"machine", "set", "client_folder", "C:\\\xff"}, "argument 6"},
  };
  for (const auto& [arguments, position] : cases) {
    const RunResult r = Run(arguments);
    ExpectOneErrorLine(r, 2, ::testing::PrintToString(arguments));
    EXPECT_EQ(r.err, "davhost: " + position + " is not valid UTF-8\n")
        << "arguments are counted after the program name, --machine and its folder included";
  }
  EXPECT_EQ(Ok({"fs", "ls", "C:\\"}).find("bad"), std::string::npos)
      << "a refused name must not have been created";
  Ok({"fs", "mkdir", "C:\\시작 프로그램"});
  EXPECT_NE(Ok({"fs", "ls", "C:\\"}).find("시작 프로그램"), std::string::npos)
      << "Korean text is valid UTF-8 and must still be accepted";
}

TEST_F(CommandLineTest, ErrorsTheComponentLoggedDuringACommandAreWarnedOnce) {
  const std::string truncated = TruncatedDocument();
  RunResult r = Run({"handle", "APL_WINCONF", "--doc", truncated, "--restart", "True"});
  EXPECT_EQ(r.exitCode, 4) << "the command was delivered, and the component logged an error";
  EXPECT_EQ(Count(r.err, "davhost: warning: the component logged: Err ("), 7)
      << "the seven lines of the parse error:\n"
      << r.err;
  EXPECT_NE(r.err.find("davhost: warning: the component logged: Err (reason) -> "),
            std::string::npos)
      << "without the log's time stamp:\n"
      << r.err;

  // --quiet: no change report, only the warnings.
  r = Run({"handle", "APL_SYSCONF", "--doc", DAV_EXAMPLES_DIR "/SysConfig.qsf", "--quiet"});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_EQ(r.err,
            "davhost: warning: APL_SYSCONF without the protocol's second field (character 29 and "
            "True or False; --restart with handle): the component stops after applying, before "
            "its last notices, and logs 'Subscript out of range'\n"
            "davhost: warning: the component logged: [err:CCDavIrizevez.IClientComponent_Handle] "
            "line 50, 9, Subscript out of range\n")
      << "the missing second field ends APL_SYSCONF; the earlier run's lines are not repeated";

  r = Run({"handle", "APL_SYSCONF", "--doc", DAV_EXAMPLES_DIR "/SysConfig.qsf", "--restart",
           "False", "--quiet"});
  EXPECT_EQ(r.err, "") << "a command that went through warns of nothing";
  EXPECT_NE(r.out.find("NOTICE DavIrizevez APL_FASETTING 1"), std::string::npos) << r.out;

  const std::string input = "APL_PREVWS\nAPL_WINCONF\t@" + truncated + "\\x1dFalse\nAPL_PREVWS\n";
  r = Run({"session"}, &input);
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_EQ(Count(r.err, "davhost: warning: "), 7)
      << "a session warns after the command that failed, and only once:\n"
      << r.err;
}

// An error is one line: control characters copied from the input into it show as the
// tables show them.
TEST_F(CommandLineTest, ControlCharactersInErrorsAreEscaped) {
  RunResult r = Run({"reg", "get", "HKEY_L\rOCAL_MACHINE\\Software"});
  ExpectOneErrorLine(r, 1, "a hive with a CR");
  EXPECT_NE(r.err.find("unknown registry hive 'HKEY_L\\rOCAL_MACHINE'"), std::string::npos)
      << r.err;

  const std::string session = "APL_X\t\\\rx\n";
  r = Run({"session"}, &session);
  ExpectOneErrorLine(r, 1, "an escape of a CR");
  EXPECT_NE(r.err.find("unknown escape \\\\r"), std::string::npos) << r.err;

  const std::string document =
      HostFile("encoding.qsf", "<?xml version=\"1.0\" encoding=\"ks_c\n5601\"?>\r\n<DocRoot/>\r\n");
  r = Run({"handle", "APL_WINCONF", "--doc", document});
  ExpectOneErrorLine(r, 1, "an encoding name with a LF");
  EXPECT_NE(r.err.find("\"ks_c\\n5601\""), std::string::npos) << r.err;
}

TEST_F(CommandLineTest, BadSessionLineSaysWhatWasCarriedOut) {
  const std::string badFirst = "APL_PREVWS\\q\nAPL_PREVWS\n";
  RunResult r = Run({"session"}, &badFirst);
  ExpectOneErrorLine(r, 1, "a bad first line");
  EXPECT_EQ(r.err.rfind("davhost: session line 1: unknown escape \\q", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("; no line was carried out\n"), std::string::npos) << r.err;
  EXPECT_EQ(Ok({"fs", "ls", "C:\\Program Files"}).find("brisal client"), std::string::npos)
      << "a session whose first line is bad must not start the component";

  const std::string badSecond = "\nAPL_PREVWS\nAPL_X\t\\q\nAPL_PREVWS\n";
  r = Run({"session"}, &badSecond);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("davhost: session line 3: unknown escape \\q", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("; the lines before it were carried out, the rest were not\n"),
            std::string::npos)
      << r.err;
  const std::string missing =
      "APL_PREVWS\nAPL_SYSCONF\t@" + (folder_.path() / "none.qsf").string() + "\\x1dFalse\n";
  r = Run({"session"}, &missing);
  EXPECT_NE(r.err.find("session line 2: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("the lines before it were carried out, the rest were not"),
            std::string::npos)
      << r.err;
  const std::string log = Ok({"log"});
  EXPECT_EQ(Count(log, "IClientComponent_Handle Start"), 2)
      << "one command before each bad line was carried out, none after:\n"
      << log;
  EXPECT_EQ(Count(log, "DavIrizevez Terminate"), 2) << "each started lifetime ends:\n" << log;
}

}  // namespace
}  // namespace dav::host::testing
