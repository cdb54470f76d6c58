// davhost's display, ps, windows and events commands driven as a person drives them,
// against a simulated PC in a temporary folder.
#include <gtest/gtest.h>

#include <regex>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

class DeviceCommands : public MachineTest {
 protected:
  void Fails(const std::vector<std::string>& arguments, const std::string& message) {
    const RunResult r = Run(arguments);
    EXPECT_NE(r.exitCode, 0) << ::testing::PrintToString(arguments) << " must fail";
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }

  // The pid of the explorer.exe line of davhost ps.
  std::string ShellPid() {
    std::smatch match;
    const std::string out = Ok({"ps"});
    if (!std::regex_search(out, match, std::regex(R"((\d+) +\d+ +explorer\.exe +C:\\WINDOWS)"))) {
      ADD_FAILURE() << "no explorer.exe in\n" << out;
      return "";
    }
    return match[1];
  }
};

TEST_F(DeviceCommands, EndedShellComesBackWithANewPid) {
  const std::string before = ShellPid();
  EXPECT_EQ(Ok({"ps", "end", "EXPLORER.EXE"}), "Ended process " + before + " (EXPLORER.EXE)\n");
  const std::string after = ShellPid();
  EXPECT_NE(after, before) << "Windows starts a new shell with a new process id";

  const std::string events = Ok({"events"});
  EXPECT_NE(events.find("process.end    pid " + before + " C:\\WINDOWS\\explorer.exe, exit code 0"),
            std::string::npos)
      << events;
  EXPECT_NE(events.find("process.start  pid " + after + " C:\\WINDOWS\\explorer.exe"),
            std::string::npos)
      << events;
  EXPECT_EQ(Ok({"events", "--since", "2"}), "") << "only events after sequence 2";

  Fails({"ps", "end", "C:\\WINDOWS\\explorer.exe"}, "no process named");
  EXPECT_EQ(ShellPid(), after) << "a name with a folder ends nothing";
}

TEST_F(DeviceCommands, StartedProgramsAndProtectedOnes) {
  EXPECT_EQ(Ok({"ps", "start", "C:\\Tools\\cmd.exe"}),
            "Started process 1500 (C:\\Tools\\cmd.exe)\n");
  Ok({"ps", "start", "C:\\Tools\\guard.exe", "--protected"});
  const std::string list = Ok({"ps"});
  EXPECT_NE(list.find("1500    1496  cmd.exe           C:\\Tools\\cmd.exe"), std::string::npos)
      << list;
  EXPECT_NE(list.find("guard.exe         [access denied (error 5)]"), std::string::npos) << list;
  Fails({"ps", "end", "guard.exe"}, "no process named");
  Fails({"ps", "start", "Tools\\x.exe"}, "no program path");
}

TEST_F(DeviceCommands, DisplayModesAndChanges) {
  const std::string list = Ok({"display"});
  EXPECT_EQ(list.rfind("Current  1024x768x32@60\n", 0), 0u) << list;
  EXPECT_NE(list.find("  1024x768       8  60\n                16  60, 70, 75\n"),
            std::string::npos)
      << list;
  EXPECT_EQ(list.find("640x480"), std::string::npos) << "modes under 800 x 600 are not listed";

  EXPECT_EQ(Ok({"display", "set", "800x600x16@75"}), "Display mode 800x600x16@75\n");
  EXPECT_EQ(Ok({"display"}).rfind("Current  800x600x16@75\n", 0), 0u);
  Fails({"display", "set", "1280x1024x32@85"},
        "refused 1280x1024x32@85; the display stays at 800x600x16@75");
  Fails({"display", "set", "1280x1024"}, "WIDTHxHEIGHTxBITS@HZ");
  const std::string events = Ok({"events"});
  EXPECT_NE(events.find("display.change   800x600x16@75 (flags 0x1)"), std::string::npos) << events;
  EXPECT_NE(events.find("display.refused  1280x1024x32@85"), std::string::npos) << events;
}

TEST_F(DeviceCommands, WindowsOpenedAndClosedByTitle) {
  EXPECT_EQ(Ok({"windows", "open", "디스플레이 등록 정보"}),
            "Opened window 0x00010014 of process 1496\n");
  EXPECT_NE(Ok({"windows"}).find("0x00010014  1496  #32770         \"디스플레이 등록 정보\""),
            std::string::npos);
  EXPECT_EQ(Ok({"windows", "close", "디스플레이 등록 정보"}),
            "Sent WM_CLOSE to window 0x00010014\n");
  EXPECT_EQ(Ok({"windows"}).find("디스플레이"), std::string::npos);
  Fails({"windows", "close", "디스플레이 등록 정보"}, "no window titled");
  Fails({"windows", "open", "x", "--pid", "4444"}, "no process with id 4444");
}

}  // namespace
}  // namespace dav::host::testing
