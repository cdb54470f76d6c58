// Processes as Windows lists, opens and ends them. Each test starts its own copies of a
// helper program under a name no other test uses, and ends only those.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/tests/test_environment.h"
#include "platform/tests/test_programs.h"

namespace dav::platform {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

class ProcessContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = testing::MakeTestEnvironment();
    name_ = testing::UniqueProgramName("davworker");
    path_ = testing::PlaceLongRunningProgram(*env_, name_);
  }

  // Ends whatever the test started and left running.
  void TearDown() override {
    for (const std::uint32_t processId : started_) {
      ProcessHandle process = kNoProcess;
      if (processes().Open(kProcessTerminate, false, processId, &process) == kErrorSuccess) {
        processes().Terminate(process, 1);
        processes().Close(process);
      }
    }
  }

  Processes& processes() { return env_->platform().processes(); }

  std::uint32_t Start() {
    std::uint32_t processId = 0;
    EXPECT_EQ(processes().Start(path_, &processId), kErrorSuccess) << "CreateProcessA " << path_;
    if (processId != 0) {
      started_.push_back(processId);
      EXPECT_TRUE(testing::WaitUntilStarted(env_->platform(), processId)) << "WaitForInputIdle";
    }
    return processId;
  }

  std::vector<ProcessEntry> Snapshot() {
    std::vector<ProcessEntry> entries;
    EXPECT_EQ(processes().Snapshot(&entries), kErrorSuccess) << "CreateToolhelp32Snapshot";
    return entries;
  }

  std::vector<std::uint32_t> AllIds() {
    std::vector<std::uint32_t> ids(4096);
    std::uint32_t bytes = 0;
    EXPECT_TRUE(processes().ListIds(ids, &bytes)) << "EnumProcesses";
    ids.resize(bytes / sizeof(std::uint32_t));
    return ids;
  }

  bool Listed(std::uint32_t processId) {
    const auto ids = AllIds();
    return std::find(ids.begin(), ids.end(), processId) != ids.end();
  }

  std::unique_ptr<testing::TestEnvironment> env_;
  std::string name_;
  std::string path_;
  std::vector<std::uint32_t> started_;
};

TEST_F(ProcessContract, StartedProgramIsListedByBothEnumerations) {
  const std::uint32_t processId = Start();
  ASSERT_NE(processId, 0u);

  const auto entries = Snapshot();
  const auto entry = std::find_if(entries.begin(), entries.end(),
                                  [&](const ProcessEntry& e) { return e.processId == processId; });
  ASSERT_NE(entry, entries.end()) << "Process32First/Next must list the started process";
  EXPECT_EQ(Lower(entry->exeFile), Lower(name_))
      << "szExeFile holds the executable's file name alone on the NT family";
  EXPECT_TRUE(Listed(processId)) << "EnumProcesses must list the started process";

  ProcessHandle process = kNoProcess;
  ASSERT_EQ(processes().Open(kProcessQueryInformation | kProcessVmRead, false, processId, &process),
            kErrorSuccess)
      << "OpenProcess for reading a process of our own";
  std::string path;
  EXPECT_EQ(processes().ExecutablePath(process, &path), kErrorSuccess)
      << "EnumProcessModules + GetModuleFileNameExA";
  processes().Close(process);
  EXPECT_EQ(Lower(path), Lower(path_)) << "the first module is the executable, with its full path";
}

TEST_F(ProcessContract, FullListBufferMeansAskAgain) {
  Start();
  std::uint32_t ids[1] = {};
  std::uint32_t bytes = 0;
  ASSERT_TRUE(processes().ListIds(ids, &bytes)) << "EnumProcesses with a too small buffer succeeds";
  EXPECT_EQ(bytes, sizeof ids) << "and fills it, which tells the caller to try a bigger one";
}

TEST_F(ProcessContract, TerminatedProcessIsGone) {
  const std::uint32_t processId = Start();
  ASSERT_NE(processId, 0u);

  ProcessHandle readOnly = kNoProcess;
  ASSERT_EQ(processes().Open(kProcessQueryInformation, false, processId, &readOnly), kErrorSuccess);
  EXPECT_EQ(processes().Terminate(readOnly, 0), kErrorAccessDenied)
      << "TerminateProcess needs PROCESS_TERMINATE in the handle's access";
  processes().Close(readOnly);

  ProcessHandle process = kNoProcess;
  ASSERT_EQ(processes().Open(kProcessAllAccess, true, processId, &process), kErrorSuccess)
      << "OpenProcess with PROCESS_ALL_ACCESS as Windows XP defines it";
  EXPECT_EQ(processes().Terminate(process, 0), kErrorSuccess);
  processes().Close(process);
  ASSERT_EQ(testing::WaitForOneToEnd(env_->platform(), {processId}), processId)
      << "the process ends after TerminateProcess";

  EXPECT_FALSE(Listed(processId)) << "EnumProcesses must not list an ended process";
  for (const ProcessEntry& entry : Snapshot()) {
    EXPECT_NE(entry.processId, processId) << "the snapshot must not list an ended process";
  }
  // (An ended process may still be opened while its object lives on; only id 0 is certain.)
  ProcessHandle idle = kNoProcess;
  EXPECT_EQ(processes().Open(kProcessQueryInformation, false, 0, &idle), kErrorInvalidParameter)
      << "OpenProcess refuses the idle process's id 0";
  EXPECT_EQ(idle, kNoProcess);
}

}  // namespace
}  // namespace dav::platform
