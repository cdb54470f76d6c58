// davhost driven as a person drives it, against a simulated PC in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

using namespace std::string_literals;

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

class DavhostTest : public ::testing::Test {
 protected:
  RunResult Run(std::vector<std::string> arguments, const std::string& machine = "") {
    arguments.insert(arguments.begin(), {"--machine", machine.empty() ? Machine() : machine});
    return RunDavhost(arguments);
  }
  // Runs a command that must succeed.
  std::string Ok(const std::vector<std::string>& arguments, const std::string& machine = "") {
    const RunResult r = Run(arguments, machine);
    EXPECT_EQ(r.exitCode, 0) << "davhost " << ::testing::PrintToString(arguments) << "\n" << r.err;
    return r.out;
  }
  std::string Machine() const { return (folder_.path() / "m").string(); }
  std::filesystem::path Host(const std::string& name) const { return folder_.path() / name; }

  void SetUp() override { Ok({"machine", "init"}); }

  TemporaryFolder folder_;
};

TEST_F(DavhostTest, KoreanValueSetThenExported) {
  Ok({"reg", "set", "HKEY_CURRENT_USER\\Software\\T", "v", "REG_SZ", "시작 프로그램"});
  const std::string text = Ok({"reg", "export", "HKEY_CURRENT_USER\\Software\\T"});
  EXPECT_EQ(text,
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\T]\n"
            "\"v\"=\"시작 프로그램\"\n\n");
  EXPECT_EQ(Ok({"reg", "get", "hkcu\\software\\t", "v"}), "시작 프로그램\n")
      << "key paths open without regard to case";
  EXPECT_NE(Ok({"reg", "export", "hkcu\\SOFTWARE\\t"}).find("[HKEY_CURRENT_USER\\Software\\T]"),
            std::string::npos)
      << "the export spells each key as it was created";

  const RunResult again = Run({"machine", "init"});
  ExpectOneErrorLine(again, "machine init on an existing machine");
  EXPECT_NE(again.err.find("already exists"), std::string::npos) << again.err;
}

TEST_F(DavhostTest, ExportedFileImportsIntoAnotherMachine) {
  const std::string key = "HKCU\\Software\\시작";
  Ok({"reg", "set", key, "", "REG_SZ", "기본값"});
  Ok({"reg", "set", key, "경로", "REG_EXPAND_SZ", "%SystemRoot%\\바탕 화면"});
  Ok({"reg", "set", key, "목록", "REG_MULTI_SZ", "첫째\\0둘째"});
  Ok({"reg", "set", key, "Count", "REG_DWORD", "0x8000000a"});
  Ok({"reg", "set", key + "\\하위", "Bytes", "REG_BINARY", "00 ff 10"});
  EXPECT_EQ(Ok({"reg", "get", key, "Count"}), "0x8000000a (2147483658)\n");

  const std::filesystem::path file = Host("out.reg");
  Ok({"reg", "export", "-o", file.string()});  // every hive, hive sections included
  const std::string bytes = ReadFile(file);
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), "\xFF\xFEW\0"s) << "a .reg file is UTF-16LE with a BOM";
  EXPECT_NE(bytes.find("\r\0\n\0"s), std::string::npos) << "a .reg file has CR LF line ends";

  const std::string other = (folder_.path() / "other").string();
  Ok({"machine", "init"}, other);
  Ok({"reg", "import", file.string()}, other);
  EXPECT_EQ(Ok({"reg", "export"}, other), Ok({"reg", "export"}))
      << "importing an export gives the same registry";
  EXPECT_NE(Ok({"reg", "export", key}, other).find("\"Count\"=dword:8000000a"), std::string::npos);
}

TEST_F(DavhostTest, ImportDeletesAndStopsAtTheFirstMistake) {
  Ok({"reg", "set", "HKCU\\Software\\Old\\Sub", "x", "REG_SZ", "1"});
  Ok({"reg", "set", "HKCU\\Software\\Keep", "gone", "REG_SZ", "1"});
  WriteFile(Host("change.reg"),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[-HKEY_CURRENT_USER\\Software\\Old]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Keep]\r\n\"gone\"=-\r\n\"new\"=dword:00000001\r\n");
  Ok({"reg", "import", Host("change.reg").string()});
  ExpectOneErrorLine(Run({"reg", "get", "HKCU\\Software\\Old"}), "a key deleted by [-KEY]");
  EXPECT_EQ(Ok({"reg", "get", "HKCU\\Software\\Keep", "new"}), "0x00000001 (1)\n");
  ExpectOneErrorLine(Run({"reg", "get", "HKCU\\Software\\Keep", "gone"}), "a value deleted by =-");

  WriteFile(Host("bad.reg"),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\New]\n\"ok\"=\"1\"\n\"bad\"=hex:0g\n");
  const RunResult bad = Run({"reg", "import", Host("bad.reg").string()});
  ExpectOneErrorLine(bad, "an import with a bad hex byte");
  EXPECT_NE(bad.err.find("line 5"), std::string::npos) << bad.err;
  ExpectOneErrorLine(Run({"reg", "get", "HKCU\\Software\\New"}),
                     "a key of a file that did not parse must not be created");

  // Text the machine's code page (949) cannot hold is refused before anything is written.
  WriteFile(Host("emoji.reg"),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\New]\n\"ok\"=\"1\"\n\"face\"=\"\xF0\x9F\x98\x80\"\n");
  const RunResult emoji = Run({"reg", "import", Host("emoji.reg").string()});
  ExpectOneErrorLine(emoji, "an import of text outside code page 949");
  EXPECT_NE(emoji.err.find("line 5"), std::string::npos) << emoji.err;
  ExpectOneErrorLine(Run({"reg", "get", "HKCU\\Software\\New"}),
                     "nothing of a refused import may be written");
}

TEST_F(DavhostTest, BadInputGivesOneLineOnStderr) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"reg", "get", "HKEY_NOWHERE\\X"}, "unknown hive"},
      {{"reg", "set", "HKCU\\Software\\T", "v", "REG_TEXT", "x"}, "bad type name"},
      {{"reg", "set", "HKCU\\Software\\T", "v", "REG_BINARY", "0g"}, "bad hex"},
      {{"reg", "set", "HKCU\\Software\\T", "v", "REG_DWORD", "4294967296"}, "DWORD too big"},
      {{"reg", "set", "HKCU\\Software\\T", "v", "REG_SZ", "\xF0\x9F\x98\x80"}, "text outside 949"},
      {{"reg", "import", "/nonexistent/file.reg"}, "unreadable import file"},
      {{"reg", "get", "HKCU\\Software\\Missing"}, "missing key"},
      {{"reg", "delete", "HKCU"}, "deleting a hive"},
      {{"reg", "frobnicate"}, "unknown command"},
      {{"reg", "set", "HKCU\\X"}, "missing arguments"},
      {{"fs", "ls", "C:\\Nowhere"}, "missing folder"},
      {{"fs", "ls", "C:\\", "--attributes", "many"}, "bad mask"},
      {{"fs", "attrib", "C:\\WINDOWS", "+X"}, "bad attribute"},
      {{"fs", "get", "C:\\missing.txt", Host("x").string()}, "missing machine file"},
  };
  for (const auto& [arguments, what] : cases) ExpectOneErrorLine(Run(arguments), what);
  ExpectOneErrorLine(Run({"reg", "get", "HKCU\\Software"}, Host("no machine").string()),
                     "missing machine folder");
  ExpectOneErrorLine(Run({"reg", "get", "HKCU\\Software\\T", "v"}),
                     "a refused value must not be stored");

  std::filesystem::create_directories(Host("damaged"));
  WriteFile(Host("damaged") / "registry.db", "not a database");
  const RunResult damaged = Run({"reg", "get", "HKCU"}, Host("damaged").string());
  ExpectOneErrorLine(damaged, "a damaged machine");
  EXPECT_NE(damaged.err.find("is damaged"), std::string::npos)
      << "a damaged machine is not 'no machine': " << damaged.err;
}

TEST_F(DavhostTest, DeletingAKeyWithSubkeysNeedsRecursive) {
  Ok({"reg", "set", "HKLM\\Software\\A\\B", "v", "REG_DWORD", "1"});
  ExpectOneErrorLine(Run({"reg", "delete", "HKLM\\Software\\A"}), "delete of a key with subkeys");
  Ok({"reg", "get", "HKLM\\Software\\A\\B", "v"});
  Ok({"reg", "delete", "HKLM\\Software\\A\\B", "v"});
  Ok({"reg", "delete", "HKLM\\Software\\A", "--recursive"});
  ExpectOneErrorLine(Run({"reg", "get", "HKLM\\Software\\A"}), "a recursively deleted key");
}

TEST_F(DavhostTest, FilesGoOnAndOffTheMachine) {
  const std::string content = "바이트\0\xff\r\n"s;
  WriteFile(Host("in.bin"), content);
  Ok({"fs", "mkdir", "-p", "C:\\새 폴더\\안"});
  Ok({"fs", "put", Host("in.bin").string(), "C:\\새 폴더\\안"});
  Ok({"fs", "get", "c:\\새 폴더\\안\\IN.BIN", Host("back.bin").string()});
  EXPECT_EQ(ReadFile(Host("back.bin")), content) << "put into a folder keeps the file's name";

  EXPECT_EQ(Ok({"fs", "attrib", "C:\\새 폴더\\안\\in.bin", "+H", "-A", "+R"}),
            "RH---  C:\\새 폴더\\안\\in.bin\n");
  const std::string all = Ok({"fs", "ls", "C:\\새 폴더\\안"});
  std::istringstream line(all.substr(all.find("RH---")));
  std::string attributes, size, name;
  line >> attributes >> size >> name;
  EXPECT_EQ(attributes + " " + size + " " + name, "RH--- 13 in.bin")
      << "a listing shows attributes, size and name:\n"
      << all;
  const std::string plain = Ok({"fs", "ls", "C:\\새 폴더\\안", "--attributes", "0"});
  EXPECT_EQ(plain.find("in.bin"), std::string::npos)
      << "a hidden file is listed only when the mask has the hidden bit:\n"
      << plain;
  EXPECT_NE(Ok({"fs", "ls", "C:\\새 폴더"}).find("---D-  <DIR>  안"), std::string::npos);
}

TEST_F(DavhostTest, MachineInfoAndTheMachineVariable) {
  const std::string machine = Machine();
  const RunResult r = RunDavhost({"machine", "info"}, &machine);
  ASSERT_EQ(r.exitCode, 0) << "DAVHOST_MACHINE names the machine folder: " << r.err;
  for (const std::string part : {"code_page", "949", "내 컴퓨터", "(virtual)", "HKEY_LOCAL_MACHINE",
                                 "Special folders", "Registry"}) {
    EXPECT_NE(r.out.find(part), std::string::npos) << "machine info lacks " << part << "\n"
                                                   << r.out;
  }
  const RunResult help = RunDavhost({"reg", "export", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--output"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace dav::host::testing
