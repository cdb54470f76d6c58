// The start programs end to end through davhost: an administrator's window document with
// protection on, a user who adds a switched-off program to Run again, the next start, and
// the produced document carried over to a fresh PC.
#include <gtest/gtest.h>

#include <iconv.h>

#include <fstream>
#include <iterator>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

const std::string kRun = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string ReadExample(const std::string& name) {
  std::ifstream in(std::string(DAV_EXAMPLES_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Document files are read by their declared encoding, code page 949; davhost prints UTF-8.
std::string ToCp949(const std::string& utf8) {
  iconv_t cd = iconv_open("CP949", "UTF-8");
  std::string out(utf8.size() * 2, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* to = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &to, &outLeft);
  iconv_close(cd);
  EXPECT_NE(result, static_cast<std::size_t>(-1)) << "text code page 949 cannot hold";
  out.resize(out.size() - outLeft);
  return out;
}

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t start = text.find(from);
  const std::size_t end = text.find(to, start);
  if (start == std::string::npos || end == std::string::npos) return "<missing>";
  return text.substr(start, end + to.size() - start);
}

std::string StartPrograms(const std::string& document) {
  return Between(document, "<StartProgramManager ", "</StartProgramManager>\r\n");
}

// The section names directly inside Configuration, in document order.
std::vector<std::string> Sections(const std::string& document) {
  std::vector<std::string> names;
  for (const char* name : {"StartMenu", "StartProgramManager", "WinSkill", "ExplorerConfig",
                           "FileOpt", "DesktopIconManager"}) {
    if (document.find("<" + std::string(name) + ">") != std::string::npos ||
        document.find("<" + std::string(name) + " ") != std::string::npos) {
      names.push_back(name);
    }
  }
  return names;
}

std::string RunKey(const std::string& name, bool checked) {
  const std::string flag = checked ? "True" : "False";
  return "<RunKey HKey=\"-2147483646\" Path=\"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" "
         "Name=\"" +
         name + "\" Command=\"C:\\" + name + ".exe\" IsPrevStart=\"True\" Checked=\"" + flag +
         "\" Deleted=\"False\" />\r\n";
}

const std::string kProtectionOn =
    "Protection  on: every start forces the Run keys towards the start list, switching off "
    "what it lacks\n";
const std::string kOtherKeys =
    "\nHKEY_LOCAL_MACHINE_RUNSERVICES  HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
    "RunServices\n  (no entries)\n"
    "\nHKEY_CURRENT_USER_RUN  HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\n"
    "  (no entries)\n";

const std::string kUserStartup =
    "C:\\Documents and Settings\\user\\시작 메뉴\\프로그램\\시작프로그램";
const std::string kStartupFolders =
    "\nStart-up folders  user " + kUserStartup +
    ", all users C:\\Documents and Settings\\All Users\\시작 메뉴\\프로그램\\시작프로그램, "
    "backup C:\\Program Files\\brisal client\\Components\\StartProgramManager\\SPBackup\n";

class StartupTest : public MachineTest {};

TEST_F(StartupTest, ProtectedDocumentKeepsRunAsApprovedAndAddsNothingToAFreshPC) {
  EXPECT_EQ(Ok({"startup"}).substr(0, 37), "Protection  no store yet: the next st");
  for (const char* name : {"Alpha", "Beta", "Gamma"}) {
    Ok({"reg", "set", kRun, name, "REG_SZ", "C:\\" + std::string(name) + ".exe"});
  }
  std::string example = ReadExample("WinConfig.qsf");
  const std::string section =
      "<StartProgramManager Protected=\"True\">\r\n<RunKeyList>\r\n" + RunKey("Alpha", true) +
      RunKey("Beta", true) + RunKey("Gamma", false) + "</RunKeyList>\r\n</StartProgramManager>\r\n";
  example.replace(example.find("<StartProgramManager"),
                  Between(example, "<StartProgramManager", "</StartProgramManager>\r\n").size(),
                  section);
  Ok({"handle", "APL_WINCONF", "--doc", HostFile("Win.qsf", example), "--restart", "False"});
  const std::string approved =
      kProtectionOn +
      "\nHKEY_LOCAL_MACHINE_RUN  HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\n"
      "  Name   Run  Start list  Off list  startupreg  Next start  Command\n"
      "  Alpha  yes  yes         -         -           kept        C:\\Alpha.exe\n"
      "  Beta   yes  yes         -         -           kept        C:\\Beta.exe\n"
      "  Gamma  -    -           yes       -           -           C:\\Gamma.exe\n" +
      kOtherKeys + kStartupFolders + "  (no icons)\n";
  EXPECT_EQ(Ok({"startup"}), approved);

  Ok({"reg", "set", kRun, "gamma", "REG_SZ", "C:\\Gamma.exe"});
  Ok({"fs", "put", HostFile("Tool.lnk", "link"), kUserStartup});
  const std::string added = Ok({"startup"});
  EXPECT_NE(added.find("  gamma  yes  -           yes       -           to the off list  "),
            std::string::npos)
      << "names are one entry whatever their letter case, and the next start switches it off: "
      << added;
  EXPECT_NE(added.find(kStartupFolders + "  Folder  File      Approved  Next start\n"
                                         "  user    Tool.lnk  no        deleted\n"),
            std::string::npos)
      << added;
  Ok({"handle", "APL_PREVWS"});  // a start and a command that changes nothing here
  EXPECT_EQ(Ok({"startup"}), approved)
      << "the next start switches the program off again and deletes the icon";

  const std::string reply = Ok({"handle", "REQ_WINCONF"});
  const std::string document = reply.substr(reply.find("<?xml"));
  EXPECT_EQ(Sections(document),
            (std::vector<std::string>{"StartMenu", "StartProgramManager", "WinSkill",
                                      "ExplorerConfig", "FileOpt", "DesktopIconManager"}));
  EXPECT_EQ(Count(document, "<RunKey "), 3) << document;

  const std::string fresh = (folder_.path() / "fresh").string();
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"machine", "init"},
        {"machine", "set", "waits", "skip"},
        {"handle", "APL_WINCONF", "--doc", HostFile("Produced.qsf", ToCp949(document)), "--restart",
         "False"}}) {
    std::vector<std::string> arguments = {"--machine", fresh};
    arguments.insert(arguments.end(), command.begin(), command.end());
    ASSERT_EQ(RunDavhost(arguments).exitCode, 0);
  }
  // The produced records are unchanged ones: protection goes on, but the other PC's
  // programs are not added here.
  const RunResult there = RunDavhost({"--machine", fresh, "handle", "REQ_WINCONF"});
  EXPECT_EQ(StartPrograms(there.out),
            "<StartProgramManager Protected=\"True\">\r\n</StartProgramManager>\r\n");
  EXPECT_EQ(RunDavhost({"--machine", fresh, "reg", "get", kRun}).out.find("Alpha"),
            std::string::npos)
      << "the other PC's programs do not start on the fresh PC";
}

}  // namespace
}  // namespace dav::host::testing
