// What davhost prints and refuses, driven as a person drives it: names the machine's code
// page cannot hold, control characters in what it shows, and empty or malformed arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

class OutputTextTest : public MachineTest {
 protected:
  // Runs a command that must fail with one "davhost: " line holding the expected words.
  void Refused(const std::vector<std::string>& arguments, const std::string& words) {
    const RunResult r = Run(arguments);
    const std::string what = "davhost " + ::testing::PrintToString(arguments);
    EXPECT_NE(r.exitCode, 0) << what << " must fail";
    EXPECT_EQ(r.out, "") << what;
    EXPECT_EQ(r.err.rfind("davhost: ", 0), 0u) << what << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << ": " << r.err;
    EXPECT_NE(r.err.find(words), std::string::npos) << what << ": " << r.err;
  }
};

// Each line of the output as printed.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(OutputTextTest, NamesTheCodePageCannotHoldAreRefusedNotTurnedIntoQuestionMarks) {
  // What a name the code page cannot hold would turn into on its way to the registry.
  Ok({"reg", "set", "HKCU\\Software\\??", "keep", "REG_SZ", "question marks"});
  Ok({"reg", "set", "HKCU\\Software\\T", "?", "REG_SZ", "a value named ?"});
  const std::string before = Ok({"reg", "export", "HKCU\\Software"});

  const std::string cannotHold = "characters that code page 949 cannot hold";
  for (const std::string key : {"HKCU\\Software\\😀", "HKCU\\Software\\🙂", "HKCU\\Software\\é"}) {
    Refused({"reg", "set", key, "v", "REG_SZ", "x"}, "key name '");
    Refused({"reg", "set", key, "v", "REG_SZ", "x"}, cannotHold);
    Refused({"reg", "get", key}, cannotHold);
    Refused({"reg", "delete", key}, cannotHold);
    Refused({"reg", "delete", key, "keep"}, cannotHold);
    Refused({"reg", "export", key}, cannotHold);
  }
  for (const std::string name : {"🙂", "é"}) {
    Refused({"reg", "set", "HKCU\\Software\\T", name, "REG_SZ", "x"}, "value name '");
    Refused({"reg", "get", "HKCU\\Software\\T", name}, cannotHold);
    Refused({"reg", "delete", "HKCU\\Software\\T", name}, cannotHold);
  }
  // Bytes that are not UTF-8 name nothing the code page holds either (davhost may refuse
  // them as soon as it reads its arguments).
  for (const std::vector<std::string>& broken :
       {std::vector<std::string>{"reg", "set", "HKCU\\Software\\\xff", "v", "REG_SZ", "x"},
        {"reg", "delete", "HKCU\\Software\\\xff"},
        {"reg", "set", "HKCU\\Software\\T", "\xc3", "REG_SZ", "x"},
        {"reg", "delete", "HKCU\\Software\\T", "\xc3"}}) {
    EXPECT_NE(Run(broken).exitCode, 0) << ::testing::PrintToString(broken) << " must fail";
  }
  EXPECT_EQ(Ok({"reg", "export", "HKCU\\Software"}), before)
      << "a refused name must neither create, change nor delete a key or value (Windows' "
         "ANSI registry functions would have written or matched '?')";

  const RunResult escaped = Run({"reg", "get", "HKCU\\Software\\\x1b[2J😀"});
  EXPECT_NE(escaped.err.find("key name 'HKCU\\Software\\\\x1B[2J😀'"), std::string::npos)
      << "the refused name is quoted with its control characters escaped: " << escaped.err;

  EXPECT_EQ(Ok({"reg", "get", "HKCU\\Software\\T", "?"}), "a value named ?\n")
      << "names the code page holds still work";
}

TEST_F(OutputTextTest, ControlCharactersInCellsAndEventsShowAsEscapesOnOneLine) {
  Ok({"reg", "set", "HKCU\\Software\\T", "멀티\tname", "REG_SZ",
      "첫 줄\r\n둘째 줄\x1b[31m빨강\x07 C:\\Temp\x7f"});
  Ok({"reg", "set", "HKCU\\Software\\T", "z", "REG_MULTI_SZ", "a\nb\\0c"});
  const std::string table = Ok({"reg", "get", "HKCU\\Software\\T"});
  EXPECT_EQ(table,
            "HKEY_CURRENT_USER\\Software\\T\n"
            "    멀티\\tname  REG_SZ        첫 줄\\r\\n둘째 줄\\x1B[31m빨강\\x07 C:\\Temp\\x7F\n"
            "    z           REG_MULTI_SZ  a\\nb\\0c\n")
      << "a line break, TAB, ESC, BEL or DEL in a REG_SZ must not break the table's lines or "
         "reach the terminal; Korean and backslashes stay as they are";
  EXPECT_EQ(table.find('\x1b'), std::string::npos);

  Ok({"windows", "open", "경고\n두 줄\x1b]0;title\x07"});
  const std::string windows = Ok({"windows"});
  EXPECT_NE(windows.find("\"경고\\n두 줄\\x1B]0;title\\x07\""), std::string::npos) << windows;
  EXPECT_EQ(Lines(windows).size(),
            static_cast<std::size_t>(std::count(windows.begin(), windows.end(), '\n')));

  // The manager-login warning is a message box of several lines.
  Ok({"handle", "APL_LOGIN", "NoKillExplorer"});
  const std::string events = Ok({"events"});
  EXPECT_NE(events.find("messagebox"), std::string::npos) << events;
  EXPECT_NE(events.find("\\r\\n"), std::string::npos)
      << "the message box's line breaks are shown as escapes: " << events;
  for (const std::string& line : Lines(events)) {
    std::string number;
    std::istringstream(line) >> number;
    EXPECT_TRUE(!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
        << "every event is one line whose first field is its number, which scripts read to "
           "find the last event: '"
        << line << "'";
  }
  EXPECT_EQ(events.find('\x1b'), std::string::npos);
}

TEST_F(OutputTextTest, ParseErrorSourceTextIsReadable) {
  // A document read as UTF-8 (it declares no encoding) whose line holds CP949 bytes ("관리자"
  // is B0 FC B8 AE C0 DA), a control byte and a NUL.
  const std::string text =
      std::string("<DocRoot>\r\n<Row ID=\"한\x01\" Value=\"\xb0\xfc\xb8\xae\xc0\xda") + '\0' +
      "\" />\r\n</DocRoot>";
  std::ofstream(folder_.path() / "bad.qsf", std::ios::binary) << text;
  Ok({"fs", "put", (folder_.path() / "bad.qsf").string(), "C:\\bad.qsf"});
  const RunResult r = Run({"doc", "check", "--machine-path", "C:\\bad.qsf"});
  if (r.exitCode == 2 && r.err.find("doc") != std::string::npos) {
    GTEST_SKIP() << "this build has no doc check: " << r.err;
  }
  EXPECT_NE(r.exitCode, 0) << r.out;
  const auto at = r.out.find("Err (srcText) -> ");
  ASSERT_NE(at, std::string::npos) << r.out;
  EXPECT_EQ(r.out.substr(at, r.out.find('\n', at) - at),
            "Err (srcText) -> <Row ID=\"한\\x01\" Value=\"\\xB0\\xFC\\xB8\\xAE\\xC0\\xDA\\x00\" />")
      << "valid UTF-8 stays readable; control bytes and bytes that are not UTF-8 show as \\xHH";
  EXPECT_EQ(Lines(r.out).size(), 7u) << "seven fields, one line each:\n" << r.out;
}

TEST_F(OutputTextTest, MalformedOrEmptyArgumentsAreClearErrors) {
  for (const std::string since : {"abc", "-1", "", "1.5", "99999999999999999999"}) {
    Refused({"events", "--since", since}, "--since needs a whole number of 0 or more");
  }
  EXPECT_EQ(Ok({"events", "--since", "999999"}), "");

  Refused({"reg", "export", ""}, "KEY must not be empty");
  Refused({"reg", "export", "HKCU\\Software", "-o", ""}, "--output FILE must not be empty");
  Refused({"log", "--date", ""}, "--date must not be empty");
  EXPECT_NE(Ok({"reg", "export"}).find("[HKEY_LOCAL_MACHINE]"), std::string::npos)
      << "without KEY every hive is exported";

  const std::string missing = (folder_.path() / "no such folder" / "x.reg").string();
  Refused({"reg", "export", "HKCU\\Software", "-o", missing},
          "cannot write '" + missing + "': No such file or directory");
}

}  // namespace
}  // namespace dav::host::testing
