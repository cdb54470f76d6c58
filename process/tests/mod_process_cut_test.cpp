// Ending a process by name, against the platform's own processes: copies of a helper program
// that the test starts itself (never a process of the system), and on the simulated PC also
// its shell.
#include "process/mod_process_cut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "platform/tests/test_environment.h"
#include "platform/tests/test_programs.h"
#if DAV_PLATFORM_SIM
#include "platform/sim/machine.h"
#endif

namespace dav {
namespace {

using namespace modProcessCut;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

TEST(FileNameOfPath, TextAfterTheLastBackslash) {
  EXPECT_EQ(FileNameOfPath("C:\\WINDOWS\\explorer.exe"), "explorer.exe");
  EXPECT_EQ(FileNameOfPath("explorer.exe"), "explorer.exe") << "no folder: the path itself";
  EXPECT_EQ(FileNameOfPath("C:\\Program Files\\바탕 화면\\프로그램.exe"), "프로그램.exe");
  EXPECT_EQ(FileNameOfPath("C:\\WINDOWS\\"), "");
  EXPECT_EQ(FileNameOfPath(""), "");
  EXPECT_EQ(FileNameOfPath(" C:\\a\\b.exe"), "b.exe") << "blanks around the path cut nothing";
}

class ProcessCut : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = platform::testing::MakeTestEnvironment();
    name_ = platform::testing::UniqueProgramName("davcut");
    path_ = platform::testing::PlaceLongRunningProgram(*env_, name_);
  }
  void TearDown() override {
    for (const std::uint32_t processId : started_) {
      platform::ProcessHandle process = platform::kNoProcess;
      if (pc().processes().Open(platform::kProcessTerminate, false, processId, &process) == 0) {
        pc().processes().Terminate(process, 1);
        pc().processes().Close(process);
      }
    }
  }
  platform::Platform& pc() { return env_->platform(); }

  std::uint32_t Start() {
    std::uint32_t processId = 0;
    EXPECT_EQ(pc().processes().Start(path_, &processId), platform::kErrorSuccess) << path_;
    started_.push_back(processId);
    return processId;
  }

  std::unique_ptr<platform::testing::TestEnvironment> env_;
  std::string name_;
  std::string path_;
  std::vector<std::uint32_t> started_;
};

TEST_F(ProcessCut, NameMatchesWithoutRegardToCaseAndOnlyWithoutAFolder) {
  const std::uint32_t processId = Start();
  ASSERT_NE(processId, 0u);
  EXPECT_EQ(GetPlatformId(pc()), platform::kPlatformWin32NT);
  EXPECT_EQ(FindProcessId(pc(), name_), processId);
  EXPECT_EQ(FindProcessId(pc(), Upper(name_)), processId) << "the names compare upper-cased";
  EXPECT_EQ(FindProcessId(pc(), path_), 0u) << "a name given with its folder never matches";
  EXPECT_EQ(FindProcessId(pc(), ""), 0u) << "an empty name matches nothing";
  EXPECT_EQ(FindProcessId(pc(), name_.substr(1)), 0u) << "the whole file name must match";

  // The Windows 95 family's search over a snapshot compares the same way.
  EXPECT_EQ(FindProcessIdBySnapshot(pc().processes(), Upper(name_)), processId);
  EXPECT_EQ(FindProcessIdBySnapshot(pc().processes(), path_), 0u);
  EXPECT_EQ(FindProcessIdBySnapshot(pc().processes(), ""), 0u);
}

TEST_F(ProcessCut, TwoProcessesOfOneNameNeedTwoCalls) {
  const std::uint32_t first = Start();
  const std::uint32_t second = Start();
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);

  TerminateProcessByName(pc(), Upper(name_));
  const std::uint32_t ended = platform::testing::WaitForOneToEnd(pc(), {first, second});
  ASSERT_NE(ended, 0u) << "one call ends one of the two";
  const std::uint32_t other = ended == first ? second : first;
  EXPECT_EQ(FindProcessId(pc(), name_), other) << "and leaves the other running";

  TerminateProcessByName(pc(), name_);
  EXPECT_EQ(platform::testing::WaitForOneToEnd(pc(), {other}), other) << "the second call ends it";
  EXPECT_EQ(FindProcessId(pc(), name_), 0u);
}

#if DAV_PLATFORM_SIM
platform::sim::Machine& MachineOf(platform::Platform& pc) {
  return dynamic_cast<platform::sim::Machine&>(pc);
}

std::uint32_t ShellId(platform::sim::Machine& machine) {
  for (const auto& process : machine.RunningProcesses()) {
    if (process.isShell) return process.processId;
  }
  return 0;
}

TEST_F(ProcessCut, EndedShellIsStartedAgainWithANewId) {
  platform::sim::Machine& machine = MachineOf(pc());
  const std::uint32_t shell = ShellId(machine);
  ASSERT_NE(shell, 0u) << "explorer.exe runs on a new machine";
  EXPECT_EQ(FindProcessId(pc(), "EXPLORER.EXE"), shell);
  EXPECT_EQ(FindProcessId(pc(), "C:\\WINDOWS\\explorer.exe"), 0u);
  const std::int64_t before = machine.Events().empty() ? 0 : machine.Events().back().sequence;

  TerminateProcessByName(pc(), "explorer.exe");
  const std::uint32_t restarted = ShellId(machine);
  EXPECT_NE(restarted, 0u) << "Windows starts a new shell when the old one ends";
  EXPECT_NE(restarted, shell) << "with a new process id";
  EXPECT_EQ(FindProcessId(pc(), "explorer.exe"), restarted);

  const auto events = machine.Events(before);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, "process.end");
  EXPECT_EQ(events[0].detail,
            "pid " + std::to_string(shell) + " C:\\WINDOWS\\explorer.exe, exit code 0");
  EXPECT_EQ(events[1].kind, "process.start");
  EXPECT_NE(events[1].detail.find("pid " + std::to_string(restarted)), std::string::npos)
      << events[1].detail;
}

TEST_F(ProcessCut, ProcessThatCannotBeOpenedIsSkippedOnNT) {
  platform::sim::Machine& machine = MachineOf(pc());
  const std::uint32_t guarded = machine.StartProcess(path_, true);
  const std::uint32_t open = Start();
  EXPECT_EQ(FindProcessId(pc(), name_), open)
      << "the process-list search skips the process whose modules it cannot read";
  EXPECT_EQ(FindProcessIdBySnapshot(pc().processes(), name_), guarded)
      << "the snapshot needs no access and finds the first one";

  machine.SetSetting("platform_id", "1");
  EXPECT_EQ(FindProcessId(pc(), name_), guarded) << "the Windows 95 family searches the snapshot";
  TerminateProcessByName(pc(), name_);
  EXPECT_EQ(FindProcessId(pc(), name_), guarded) << "a process that refuses to open keeps running";
}
#endif

}  // namespace
}  // namespace dav
