// The simulated Windows PC, kept in one machine folder:
//
//   <folder>/registry.db   SQLite (WAL): registry, machine settings, special folders,
//                          event journal, display modes, processes, top-level windows
//                          (its log and index files, registry.db-wal and -shm, stay beside
//                          it; a copy of a closed machine takes all three)
//   <folder>/drives/C/...  the drives; Windows paths resolve onto them without regard to
//                          letter case; DOS attributes are kept in an extended attribute
//
// A new machine gets the defaults of a Korean Windows XP PC, with explorer.exe running as
// its shell. Two processes may open one machine at the same time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/faults.h"

namespace dav::platform::sim {

struct SpecialFolder {
  int csidl = 0;
  std::string path;         // Windows path; empty for a virtual folder (My Computer ...)
  std::string displayName;  // what the shell shows, in Korean by default
};

// One line of the machine's event journal: what was done to the machine that a person or a
// test wants to see afterwards: "shell.notify", "messagebox", "display.change",
// "display.refused", "process.start", "process.end", "window.open", "window.close".
struct Event {
  std::int64_t sequence = 0;
  std::string time;  // "yyyy-mm-dd hh:nn:ss" of the machine's clock
  std::string kind;  // for example "shell.notify", "messagebox"
  std::string detail;
};

// A running process of the machine.
struct ProcessInfo {
  std::uint32_t processId = 0;
  std::uint32_t parentId = 0;
  std::string path;  // the executable's full path; empty for the kernel's own processes
  std::string exeFile;
  bool isProtected = false;  // runs under another account: the user cannot open it
  bool isShell = false;      // the user's shell, started again by Windows when it ends
};

// A top-level window of the machine.
struct WindowInfo {
  WindowHandle handle = kNoWindow;
  std::string title;
  std::string className;
  std::uint32_t processId = 0;  // the process it belongs to
};

class Machine : public Platform {
 public:
  // Creates a new machine with the default settings in folder (created when missing; an
  // existing or damaged machine there is a PlatformError). A failed Create leaves the folder
  // as it found it. Its registry's text is seeded in codePage, which cannot change once the
  // registry holds text outside ASCII (SetSetting refuses it).
  static std::unique_ptr<Machine> Create(const std::filesystem::path& folder,
                                         std::uint32_t codePage = 949);
  // A new machine as Create makes it, but with its database in this process's memory only:
  // nothing is synced or kept when it closes, and no other process can open it. Its drives
  // are in folder as usual (put folder on a file system in memory for speed). For throw-away
  // machines that run many short tasks, as the fuzz targets do.
  static std::unique_ptr<Machine> CreateInMemory(const std::filesystem::path& folder,
                                                 std::uint32_t codePage = 949);
  // Opens an existing machine; a missing or damaged one is a PlatformError.
  static std::unique_ptr<Machine> Open(const std::filesystem::path& folder);
  // As Open, with null instead of an error when folder holds no machine (no registry.db, or
  // the empty one of an interrupted Create): one opening of the database where Exists and
  // Open would take two. A damaged machine is still a PlatformError.
  static std::unique_ptr<Machine> OpenIfExists(const std::filesystem::path& folder);
  // True when folder holds a machine.
  static bool Exists(const std::filesystem::path& folder);
  // What is wrong with the registry.db in folder when it is there but holds no machine (not
  // a file, not a database, another program's database); empty when there is a machine, no
  // registry.db, or only the empty database of an interrupted Create, which Create reuses.
  static std::string DamageOf(const std::filesystem::path& folder);

  ~Machine() override;

  Registry& registry() override;
  FileSystem& files() override;
  IniFiles& ini() override;
  SystemInfo& system() override;
  Shell& shell() override;
  Dialogs& dialogs() override;
  Display& display() override;
  Processes& processes() override;
  TopLevelWindows& windows() override;

  const std::filesystem::path& folder() const;
  // True when the machine's folder or database cannot be written by this process: it is
  // read as it stands, and every change fails.
  bool IsReadOnly() const;
  // Ends the database's held read (see Database::Transaction).
  void Idle() override;

  // KeepState remembers the registry (the whole database) and the drives as they are now,
  // in memory and in the folder "kept" beside the drives; RestoreState puts them back, so
  // that one machine can start each of many tasks from the same state. RestoreState
  // without a kept state is a PlatformError. Meant for machines in memory. Of the drives,
  // RestoreState puts back only the entries that files() changed since the state was kept
  // or last restored: a change made on the host around it (at a HostPath) stays. Of a machine
  // in memory, which only this object changes, the database's rows are put back where they
  // changed (see KeptContent) and its prepared statements stay prepared; of another, the
  // database is copied back whole.
  void KeepState();
  void RestoreState();

  // The faults the machine shows on purpose, from its setting "faults" when it was opened;
  // a test may change them, and watch the writes, at any time.
  Faults& faults();

  // Machine settings as name/value texts ("platform_id", "version", "code_page",
  // "user_name", "system_directory", "short_date", "time_format", "am", "pm" ...).
  std::vector<std::pair<std::string, std::string>> Settings();
  // Changes one setting; an unknown name or a value of the wrong form is a PlatformError.
  void SetSetting(const std::string& name, const std::string& value);

  std::vector<SpecialFolder> SpecialFolders();

  // The answer the simulated message box gives (kIdOk by default).
  void SetMessageBoxAnswer(int answer);

  // The display adapter's modes in its order; a new list leaves the mode in use as it is.
  std::vector<DisplayMode> DisplayModes();
  void SetDisplayModes(const std::vector<DisplayMode>& modes);

  // The running processes, oldest first. StartProcess starts a program (nothing is run; a
  // protected one refuses to be opened) and returns its process id; a path that is no
  // absolute Windows path is a PlatformError.
  std::vector<ProcessInfo> RunningProcesses();
  std::uint32_t StartProcess(const std::string& path, bool isProtected = false);

  // The top-level windows, oldest first. OpenWindow opens one that belongs to a running
  // process (else a PlatformError) and returns its handle.
  std::vector<WindowInfo> TopWindows();
  WindowHandle OpenWindow(const std::string& title, const std::string& className,
                          std::uint32_t processId);

  void RecordEvent(const std::string& kind, const std::string& detail);
  // Events with a sequence number greater than since, oldest first.
  std::vector<Event> Events(std::int64_t since = 0);

  // The host file-system path that a Windows path of the machine resolves to (for
  // davhost's fs commands and for tests); a PlatformError when the path is not valid.
  std::filesystem::path HostPath(const std::string& windowsPath);

  struct Impl;

 private:
  explicit Machine(std::unique_ptr<Impl> impl);
  static std::unique_ptr<Machine> CreateWith(const std::filesystem::path& folder,
                                             std::uint32_t codePage, bool inMemory);
  std::unique_ptr<Impl> impl_;
};

}  // namespace dav::platform::sim
