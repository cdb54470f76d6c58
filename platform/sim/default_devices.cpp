#include "platform/sim/default_devices.h"

#include "platform/sim/sim_display.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_windows.h"

namespace dav::platform::sim {
namespace {

constexpr std::uint32_t kAllFields =
    kDmBitsPerPel | kDmPelsWidth | kDmPelsHeight | kDmDisplayFrequency;

DisplayMode Mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                 std::uint32_t frequency) {
  return DisplayMode{kAllFields, bits, width, height, frequency};
}

struct DefaultProcess {
  std::uint32_t processId;
  std::uint32_t parentId;
  const char* path;  // empty for the kernel's own processes
  const char* exeFile;
  bool isProtected;  // a normal user cannot open it
  bool isShell;
};

// A Windows XP session as a normal user sees it: the system's processes run under other
// accounts and refuse to be opened; explorer.exe is the user's shell.
constexpr DefaultProcess kDefaultProcesses[] = {
    {0, 0, "", "[System Process]", true, false},
    {4, 0, "", "System", true, false},
    {368, 4, "C:\\WINDOWS\\system32\\smss.exe", "smss.exe", true, false},
    {596, 368, "C:\\WINDOWS\\system32\\csrss.exe", "csrss.exe", true, false},
    {620, 368, "C:\\WINDOWS\\system32\\winlogon.exe", "winlogon.exe", true, false},
    {664, 620, "C:\\WINDOWS\\system32\\services.exe", "services.exe", true, false},
    {676, 620, "C:\\WINDOWS\\system32\\lsass.exe", "lsass.exe", true, false},
    {860, 664, "C:\\WINDOWS\\system32\\svchost.exe", "svchost.exe", true, false},
    {1496, 620, "C:\\WINDOWS\\explorer.exe", "explorer.exe", false, true},
};

}  // namespace

const std::vector<DisplayMode>& DefaultDisplayModes() {
  static const std::vector<DisplayMode> modes = [] {
    std::vector<DisplayMode> list{
        Mode(640, 480, 4, 60),
        Mode(640, 480, 8, 60),
        Mode(800, 600, 8, 60),
        Mode(1024, 768, 8, 60),
    };
    for (const std::uint32_t bits : {16u, 32u}) {
      for (const DisplayMode& mode :
           {Mode(640, 480, bits, 60), Mode(640, 480, bits, 75), Mode(800, 600, bits, 56),
            Mode(800, 600, bits, 60), Mode(800, 600, bits, 75), Mode(1024, 768, bits, 60),
            Mode(1024, 768, bits, 70), Mode(1024, 768, bits, 75), Mode(1152, 864, bits, 75),
            Mode(1280, 1024, bits, 60), Mode(1280, 1024, bits, 75)}) {
        list.push_back(mode);
      }
    }
    list.push_back(Mode(1024, 768, 32, 60));  // reported twice by the driver
    return list;
  }();
  return modes;
}

DisplayMode DefaultCurrentMode() {
  return Mode(1024, 768, 32, 60);
}

void SeedDevices(Database& db) {
  WriteDisplayModes(db, DefaultDisplayModes());
  WriteDisplaySetting(db, kDisplayCurrent, DefaultCurrentMode());
  WriteDisplaySetting(db, kDisplayRegistry, DefaultCurrentMode());
  for (const DefaultProcess& p : kDefaultProcesses) {
    InsertProcess(db, {p.processId, p.parentId, p.path, p.exeFile, p.isProtected, p.isShell});
    if (p.isShell) OpenShellWindows(db, p.processId);
  }
}

void OpenShellWindows(Database& db, std::uint32_t shellProcessId) {
  InsertWindow(db, "Program Manager", "Progman", shellProcessId);
  InsertWindow(db, "", "Shell_TrayWnd", shellProcessId);
}

}  // namespace dav::platform::sim
