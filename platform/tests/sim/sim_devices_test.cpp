// The simulated PC's display adapter, processes and windows as the machine keeps them: what
// a new machine has, what a change leaves, and what the journal shows.
#include <gtest/gtest.h>

#include "platform/sim/machine.h"
#include "platform/sim/sqlite_db.h"
#include "platform/tests/sim/temp_folder.h"

namespace dav::platform::sim {
namespace {

using testing::TempFolder;

constexpr std::uint32_t kAllFields =
    kDmBitsPerPel | kDmPelsWidth | kDmPelsHeight | kDmDisplayFrequency;

DisplayMode Mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                 std::uint32_t frequency) {
  return DisplayMode{kAllFields, bits, width, height, frequency};
}

DisplayMode Read(Machine& machine, std::uint32_t which) {
  DisplayMode mode;
  EXPECT_TRUE(machine.display().ModeSettings(which, &mode));
  return mode;
}

std::uint32_t ShellId(Machine& machine) {
  for (const ProcessInfo& process : machine.RunningProcesses()) {
    if (process.isShell) return process.processId;
  }
  return 0;
}

std::vector<std::string> Kinds(const std::vector<Event>& events) {
  std::vector<std::string> kinds;
  for (const Event& event : events) kinds.push_back(event.kind);
  return kinds;
}

class SimDevices : public ::testing::Test {
 protected:
  void SetUp() override { machine_ = Machine::Create(folder_.path() / "pc"); }
  TempFolder folder_;
  std::unique_ptr<Machine> machine_;
};

TEST_F(SimDevices, MachineOfAnOlderVersionGetsTheDefaultDevices) {
  machine_.reset();
  {
    auto db = Database::Open(folder_.path() / "pc" / "registry.db", false);
    db->Exec(
        "DROP TABLE display_modes; DROP TABLE display_settings; DROP TABLE processes;"
        " DROP TABLE windows; PRAGMA user_version = 1;");
  }
  machine_ = Machine::Open(folder_.path() / "pc");
  EXPECT_NE(ShellId(*machine_), 0u) << "explorer.exe runs after the upgrade";
  EXPECT_FALSE(machine_->DisplayModes().empty());
  EXPECT_EQ(Read(*machine_, kEnumCurrentSettings), Mode(1024, 768, 32, 60));
  EXPECT_TRUE(machine_->Events().empty()) << "the defaults are no events";
}

TEST_F(SimDevices, ChangeFlagsAndPartialModes) {
  Display& display = machine_->display();
  EXPECT_EQ(display.ChangeModeEx(Mode(800, 600, 16, 60), kCdsTest), kDispChangeSuccessful);
  EXPECT_EQ(Read(*machine_, kEnumCurrentSettings), Mode(1024, 768, 32, 60)) << "CDS_TEST only asks";

  EXPECT_EQ(display.ChangeMode(Mode(800, 600, 16, 60), 0), kDispChangeSuccessful);
  EXPECT_EQ(Read(*machine_, kEnumCurrentSettings), Mode(800, 600, 16, 60));
  EXPECT_EQ(Read(*machine_, kEnumRegistrySettings), Mode(1024, 768, 32, 60))
      << "without CDS_UPDATEREGISTRY the next start keeps the old mode";

  DisplayMode depthOnly{kDmBitsPerPel, 32, 0, 0, 0};
  EXPECT_EQ(display.ChangeModeEx(depthOnly, kCdsUpdateRegistry), kDispChangeSuccessful);
  EXPECT_EQ(Read(*machine_, kEnumCurrentSettings), Mode(800, 600, 32, 60))
      << "fields missing from dmFields keep the mode in use";

  EXPECT_EQ(display.ChangeModeEx(Mode(1024, 768, 32, 0), 0), kDispChangeSuccessful);
  EXPECT_EQ(Read(*machine_, kEnumCurrentSettings), Mode(1024, 768, 32, 60))
      << "the default rate 0 takes the first listed rate";

  machine_->SetDisplayModes({Mode(1280, 1024, 32, 75)});
  EXPECT_EQ(Read(*machine_, kEnumCurrentSettings), Mode(1024, 768, 32, 60))
      << "a new mode list leaves the mode in use";
  DisplayMode second;
  EXPECT_FALSE(display.ModeSettings(1, &second));
}

TEST_F(SimDevices, EndedProcessesTakeTheirWindowsAndTheirIdsWithThem) {
  const std::uint32_t tool = machine_->StartProcess("c:/tools/Tool.exe");
  const WindowHandle window = machine_->OpenWindow("도구", "ToolWindow", tool);
  std::vector<ProcessEntry> entries;
  ASSERT_EQ(machine_->processes().Snapshot(&entries), kErrorSuccess);
  EXPECT_EQ(entries.back(), (ProcessEntry{tool, ShellId(*machine_), "Tool.exe"}))
      << "started by the shell, named by its file name";
  EXPECT_EQ(machine_->RunningProcesses().back().path, "C:\\tools\\Tool.exe");

  Processes& processes = machine_->processes();
  ProcessHandle handle = kNoProcess;
  ASSERT_EQ(processes.Open(kProcessAllAccess, false, tool, &handle), kErrorSuccess);
  ASSERT_EQ(processes.Terminate(handle, 3), kErrorSuccess);
  EXPECT_EQ(processes.Terminate(handle, 3), kErrorAccessDenied) << "it has ended already";
  std::string path;
  EXPECT_EQ(processes.ExecutablePath(handle, &path), kErrorInvalidHandle);
  processes.Close(handle);
  EXPECT_EQ(processes.Terminate(handle, 3), kErrorInvalidHandle) << "a closed handle";

  EXPECT_EQ(machine_->windows().FindByTitle("도구"), kNoWindow) << "its window went with it";
  EXPECT_NE(window, kNoWindow);
  EXPECT_GT(machine_->StartProcess("C:\\tools\\Tool.exe"), tool) << "ids are not reused";
  EXPECT_THROW(machine_->StartProcess("tools\\Tool.exe"), PlatformError) << "a relative path";
  EXPECT_THROW(machine_->OpenWindow("x", "y", tool), PlatformError) << "an ended owner";
  EXPECT_EQ(Kinds(machine_->Events()), (std::vector<std::string>{"process.start", "window.open",
                                                                 "process.end", "process.start"}));
}

TEST_F(SimDevices, RestartedShellHasNewWindowsAndTheNewestTitleIsFoundFirst) {
  TopLevelWindows& windows = machine_->windows();
  const WindowHandle progman = windows.FindByTitle("program manager");
  ASSERT_NE(progman, kNoWindow) << "the shell's desktop window, found without regard to case";
  const std::uint32_t shell = ShellId(*machine_);
  const WindowHandle older = machine_->OpenWindow("인터넷 옵션", "#32770", shell);
  const WindowHandle newer = machine_->OpenWindow("인터넷 옵션", "#32770", shell);
  EXPECT_EQ(windows.FindByTitle("인터넷 옵션"), newer) << "the window on top is found";
  EXPECT_EQ(windows.SendClose(newer), 0);
  EXPECT_EQ(windows.FindByTitle("인터넷 옵션"), older);
  EXPECT_EQ(machine_->Events().back().kind, "window.close");

  ProcessHandle handle = kNoProcess;
  ASSERT_EQ(machine_->processes().Open(kProcessTerminate, false, shell, &handle), kErrorSuccess);
  machine_->processes().Terminate(handle, 0);
  machine_->processes().Close(handle);
  EXPECT_EQ(windows.FindByTitle("인터넷 옵션"), kNoWindow);
  const WindowHandle newProgman = windows.FindByTitle("Program Manager");
  EXPECT_NE(newProgman, kNoWindow) << "the new shell opens its desktop window";
  EXPECT_NE(newProgman, progman) << "as a new window";
}

TEST_F(SimDevices, SecondOpenerSeesTheSameProcesses) {
  auto other = Machine::Open(folder_.path() / "pc");
  const std::uint32_t started = machine_->StartProcess("C:\\a.exe");
  std::vector<ProcessEntry> entries;
  ASSERT_EQ(other->processes().Snapshot(&entries), kErrorSuccess);
  EXPECT_EQ(entries.back().processId, started) << "a second davhost on the machine sees it";
  ProcessHandle handle = kNoProcess;
  EXPECT_EQ(other->processes().Open(kProcessQueryInformation, false, 4, &handle),
            kErrorAccessDenied)
      << "the system's processes refuse a normal user";
}

}  // namespace
}  // namespace dav::platform::sim
