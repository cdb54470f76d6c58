#include "platform/sim/machine.h"

#include <cstdio>
#include <set>
#include <system_error>

#include "platform/sim/faults.h"
#include "platform/sim/kept_content.h"
#include "platform/sim/machine_schema.h"
#include "platform/sim/machine_seed.h"
#include "platform/sim/machine_settings.h"
#include "platform/sim/machine_snapshots.h"
#include "platform/sim/machine_store.h"
#include "platform/sim/real_clock.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_ini_files.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_system_info.h"
#include "platform/sim/sim_windows.h"
#include "platform/sim/sqlite_db.h"

namespace dav::platform::sim {
namespace {

constexpr const char* kDatabaseFile = "registry.db";
constexpr const char* kDrivesFolder = "drives";
constexpr const char* kKeptDrivesFolder = "kept";

// "yyyy-mm-dd hh:nn:ss"
std::string FormatTime(LocalTime time) {
  using namespace std::chrono;
  const auto day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss clock{floor<seconds>(time - day)};
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld:%02ld",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<long>(clock.hours().count()),
                static_cast<long>(clock.minutes().count()),
                static_cast<long>(clock.seconds().count()));
  return text;
}

// How many text values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) hold a byte outside ASCII.
std::int64_t NonAsciiTextValues(Database& db) {
  try {
    std::int64_t count = 0;
    auto query = db.Prepare("SELECT data FROM reg_values WHERE type IN (1, 2, 7)");
    while (query.Step()) {
      const std::string data = query.Blob(0);
      for (const char c : data) {
        if (static_cast<unsigned char>(c) >= 0x80) {
          ++count;
          break;
        }
      }
    }
    return count;
  } catch (const SqliteError& error) {
    throw PlatformError(std::string("machine database: cannot read the registry: ") + error.what());
  }
}

std::unique_ptr<Database> OpenDatabase(const std::filesystem::path& folder, bool create,
                                       bool inMemory = false) {
  try {
    if (inMemory) return Database::OpenInMemory();
    return Database::Open(folder / kDatabaseFile, create);
  } catch (const SqliteError& error) {
    throw PlatformError("cannot open the machine in " + folder.string() + ": " + error.what());
  }
}

void MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    throw PlatformError("cannot create " + folder.string() + ": " + error.message());
  }
}

}  // namespace

struct Machine::Impl {
  std::filesystem::path folder;
  std::unique_ptr<Database> db;
  std::unique_ptr<MachineStore> store;
  std::unique_ptr<SimRegistry> registry;
  std::unique_ptr<SimFileSystem> files;
  Faults faults;
  std::unique_ptr<FaultyRegistry> faultyRegistry;
  std::unique_ptr<FaultyFileSystem> faultyFiles;
  std::unique_ptr<SimIniFiles> ini;
  std::unique_ptr<SimSystemInfo> system;
  std::unique_ptr<SimShell> shell;
  std::unique_ptr<SimDialogs> dialogs;
  std::unique_ptr<SimDisplay> display;
  std::unique_ptr<SimProcesses> processes;
  std::unique_ptr<SimWindows> windows;
  bool inMemory = false;
  // KeepState's copy of db: the rows, put back row by row, for a machine in memory, which only
  // this connection changes; else a whole copy.
  std::unique_ptr<KeptContent> keptContent;
  std::unique_ptr<Database> kept;
};

Machine::Machine(std::unique_ptr<Impl> impl)
    : Platform(std::make_unique<RealClock>([db = impl->db.get()] { db->EndHeldRead(); })),
      impl_(std::move(impl)) {
  Impl& m = *impl_;
  m.store = std::make_unique<MachineStore>(*m.db);
  m.system = std::make_unique<SimSystemInfo>(*m.store);
  auto codePage = [system = m.system.get()] { return system->AnsiCodePage(); };
  m.registry = std::make_unique<SimRegistry>(*m.db, codePage);
  m.files = std::make_unique<SimFileSystem>(m.folder / kDrivesFolder);
  m.faultyRegistry = std::make_unique<FaultyRegistry>(*m.registry, m.faults);
  m.faultyFiles = std::make_unique<FaultyFileSystem>(*m.files, m.faults);
  auto windowsFolder = [store = m.store.get()] {
    const auto folder = store->FindSpecialFolder(kCsidlWindows);
    return folder ? folder->path : std::string();
  };
  m.ini = std::make_unique<SimIniFiles>(*m.faultyFiles, codePage, windowsFolder);
  auto record = [this](const std::string& kind, const std::string& detail) {
    RecordEvent(kind, detail);
  };
  m.shell = std::make_unique<SimShell>(*m.store, record);
  m.dialogs = std::make_unique<SimDialogs>(*m.store, record);
  m.display = std::make_unique<SimDisplay>(*m.db, record);
  m.processes = std::make_unique<SimProcesses>(*m.db, record);
  m.windows = std::make_unique<SimWindows>(*m.db, record);
}

Machine::~Machine() = default;

bool Machine::Exists(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(folder / kDatabaseFile, error)) return false;
  try {
    return Database::Open(folder / kDatabaseFile, false)->UserVersion() > 0;
  } catch (const SqliteError&) {
    return false;
  }
}

std::string Machine::DamageOf(const std::filesystem::path& folder) {
  std::error_code error;
  const auto status = std::filesystem::status(folder / kDatabaseFile, error);
  if (!std::filesystem::exists(status)) return {};
  if (!std::filesystem::is_regular_file(status)) return "its registry.db is not a file";
  try {
    const auto db = Database::Open(folder / kDatabaseFile, false);
    if (db->UserVersion() > 0) return {};
    auto tables = db->Prepare("SELECT count(*) FROM sqlite_schema");
    if (tables.Step() && tables.Int(0) > 0) return "its registry.db is another program's database";
    return {};
  } catch (const SqliteError& e) {
    return std::string("its registry.db cannot be read (") + e.what() + ")";
  }
}

std::unique_ptr<Machine> Machine::Create(const std::filesystem::path& folder,
                                         std::uint32_t codePage) {
  return CreateWith(folder, codePage, false);
}

std::unique_ptr<Machine> Machine::CreateInMemory(const std::filesystem::path& folder,
                                                 std::uint32_t codePage) {
  return CreateWith(folder, codePage, true);
}

std::unique_ptr<Machine> Machine::CreateWith(const std::filesystem::path& folder,
                                             std::uint32_t codePage, bool inMemory) {
  if (Exists(folder)) throw PlatformError("a machine already exists in " + folder.string());
  if (const std::string damage = DamageOf(folder); !damage.empty()) {
    throw PlatformError(folder.string() + " holds a damaged machine: " + damage +
                        "; remove it or choose another folder");
  }
  // What this call adds, so that a failure can take it away again.
  std::error_code error;
  const bool folderExisted = std::filesystem::exists(folder, error);
  const bool databaseExisted = std::filesystem::exists(folder / kDatabaseFile, error);
  const bool drivesExisted = std::filesystem::exists(folder / kDrivesFolder, error);
  auto undo = [&] {
    std::error_code ignored;
    if (!folderExisted) {
      std::filesystem::remove_all(folder, ignored);
      return;
    }
    if (!drivesExisted) std::filesystem::remove_all(folder / kDrivesFolder, ignored);
    if (!databaseExisted) {
      for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::filesystem::remove(folder / (std::string(kDatabaseFile) + suffix), ignored);
      }
    }
  };
  try {
    MakeFolder(folder / kDrivesFolder / "C");
    auto impl = std::make_unique<Impl>();
    impl->folder = folder;
    impl->db = OpenDatabase(folder, true, inMemory);
    impl->inMemory = inMemory;
    Database& db = *impl->db;
    std::unique_ptr<Machine> machine(new Machine(std::move(impl)));
    const auto folders = DefaultSpecialFolders();
    // One transaction: a machine whose set-up failed half-way is no machine at all.
    try {
      db.Transaction(Database::Mode::kWrite, [&] {
        UpgradeMachineSchema(db);
        machine->impl_->store->Initialize(folders);
        machine->impl_->store->SetSetting(setting::kCodePage, std::to_string(codePage));
        SeedRegistry(machine->registry(), folders, machine->system().AnsiCodePage());
        CreateSpecialFolders(machine->files(), folders);
      });
    } catch (const SqliteError& e) {
      throw PlatformError("cannot create the machine in " + folder.string() + ": " + e.what());
    }
    return machine;
  } catch (...) {
    undo();
    throw;
  }
}

std::unique_ptr<Machine> Machine::Open(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(folder / kDatabaseFile, error)) {
    throw PlatformError("there is no machine in " + folder.string());
  }
  auto machine = OpenIfExists(folder);
  if (!machine) {
    throw PlatformError(folder.string() + " holds no machine (its registry.db is empty)");
  }
  return machine;
}

std::unique_ptr<Machine> Machine::OpenIfExists(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(folder / kDatabaseFile, error)) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->folder = folder;
  impl->db = OpenDatabase(folder, false);
  try {
    if (impl->db->UserVersion() == 0) return nullptr;
    // A read-only machine is read as it stands; an older one would need writing to upgrade.
    if (!impl->db->readOnly()) UpgradeMachineSchema(*impl->db);
  } catch (const SqliteError& error) {
    throw PlatformError("the machine in " + folder.string() + " is damaged: " + error.what());
  }
  // The drives are plain folders; one removed by hand comes back empty.
  if (!impl->db->readOnly()) MakeFolder(folder / kDrivesFolder / "C");
  std::unique_ptr<Machine> machine(new Machine(std::move(impl)));
  if (machine->impl_->store->Setting(setting::kWaits) == "skip") {
    machine->ReplaceClock(std::make_unique<SkippingClock>());
  }
  // Checked when it was set; a value that no longer reads is no fault.
  ParseFaultSettings(machine->impl_->store->Setting(setting::kFaults),
                     &machine->impl_->faults.settings);
  return machine;
}

void Machine::KeepState() {
  Impl& m = *impl_;
  try {
    std::unique_ptr<Database> kept;
    m.keptContent.reset();
    if (m.inMemory) {
      m.keptContent = std::make_unique<KeptContent>(*m.db);
    } else {
      kept = Database::OpenInMemory();
      kept->CopyFrom(*m.db);
    }
    std::error_code error;
    std::filesystem::remove_all(m.folder / kKeptDrivesFolder, error);
    CopyDrives(m.folder / kDrivesFolder, m.folder / kKeptDrivesFolder);
    m.kept = std::move(kept);
    m.registry->KeepMemory();
  } catch (const SqliteError& e) {
    throw PlatformError(std::string("cannot keep the machine's state: ") + e.what());
  }
  m.files->NoteChanges(true);
}

void Machine::RestoreState() {
  Impl& m = *impl_;
  if (!m.kept && !m.keptContent) throw PlatformError("the machine has no kept state to restore");
  try {
    if (m.keptContent) {
      m.keptContent->Restore();
    } else {
      m.db->CopyFrom(*m.kept);
    }
    m.registry->RestoreMemory();
  } catch (const SqliteError& e) {
    throw PlatformError(std::string("cannot restore the machine's state: ") + e.what());
  }
  const std::filesystem::path drives = m.folder / kDrivesFolder;
  const std::filesystem::path kept = m.folder / kKeptDrivesFolder;
  // The file system noted what it changed since: only that is put back. Without its notes
  // (too many changes) the drives are copied back whole.
  if (const std::set<std::string>* changed = m.files->Changes()) {
    std::vector<std::filesystem::path> paths;
    paths.reserve(changed->size());
    for (const std::string& host : *changed) {
      paths.push_back(std::filesystem::path(host).lexically_relative(drives));
    }
    PutBackDrives(kept, drives, paths);
    m.files->ForgetEntries(*changed);
  } else {
    std::error_code error;
    std::filesystem::remove_all(drives, error);
    if (error) throw PlatformError("cannot restore the machine's drives: " + error.message());
    CopyDrives(kept, drives);
    m.files->ForgetAll();
  }
  m.files->NoteChanges(true);
}

void Machine::Idle() {
  impl_->db->EndHeldRead();
}

Registry& Machine::registry() {
  return *impl_->faultyRegistry;
}
FileSystem& Machine::files() {
  return *impl_->faultyFiles;
}
Faults& Machine::faults() {
  return impl_->faults;
}
IniFiles& Machine::ini() {
  return *impl_->ini;
}
SystemInfo& Machine::system() {
  return *impl_->system;
}
Shell& Machine::shell() {
  return *impl_->shell;
}
Dialogs& Machine::dialogs() {
  return *impl_->dialogs;
}

Display& Machine::display() {
  return *impl_->display;
}
Processes& Machine::processes() {
  return *impl_->processes;
}
TopLevelWindows& Machine::windows() {
  return *impl_->windows;
}

bool Machine::IsReadOnly() const {
  return impl_->db->readOnly();
}

const std::filesystem::path& Machine::folder() const {
  return impl_->folder;
}

std::vector<std::pair<std::string, std::string>> Machine::Settings() {
  return impl_->store->Settings();
}

void Machine::SetSetting(const std::string& name, const std::string& value) {
  // Text values are kept as the code page's bytes: under another code page, those that are
  // not plain ASCII would read as other characters.
  if (name == setting::kCodePage && value != impl_->store->Setting(setting::kCodePage)) {
    if (const std::int64_t held = NonAsciiTextValues(*impl_->db); held > 0) {
      throw PlatformError(
          "machine setting 'code_page' cannot change once the registry holds "
          "text in it: " +
          std::to_string(held) + " text values hold characters of code page " +
          impl_->store->Setting(setting::kCodePage) +
          ", which would read as other characters; create a new machine for "
          "another code page");
    }
  }
  impl_->store->SetSetting(name, value);
  impl_->system->ForgetCodePage();
}

std::vector<SpecialFolder> Machine::SpecialFolders() {
  return impl_->store->SpecialFolders();
}

void Machine::SetMessageBoxAnswer(int answer) {
  SetSetting("message_box_answer", std::to_string(answer));
}

std::vector<DisplayMode> Machine::DisplayModes() {
  return impl_->display->Modes();
}

void Machine::SetDisplayModes(const std::vector<DisplayMode>& modes) {
  impl_->display->SetModes(modes);
}

std::vector<ProcessInfo> Machine::RunningProcesses() {
  return impl_->processes->Running();
}

std::uint32_t Machine::StartProcess(const std::string& path, bool isProtected) {
  return impl_->processes->StartProgram(path, isProtected);
}

std::vector<WindowInfo> Machine::TopWindows() {
  return impl_->windows->List();
}

WindowHandle Machine::OpenWindow(const std::string& title, const std::string& className,
                                 std::uint32_t processId) {
  return impl_->windows->Open(title, className, processId);
}

void Machine::RecordEvent(const std::string& kind, const std::string& detail) {
  impl_->store->RecordEvent(FormatTime(clock().Now()), kind, detail);
}

std::vector<Event> Machine::Events(std::int64_t since) {
  return impl_->store->Events(since);
}

std::filesystem::path Machine::HostPath(const std::string& windowsPath) {
  Status status = kErrorSuccess;
  auto path = impl_->files->HostPath(windowsPath, &status);
  if (status != kErrorSuccess) {
    throw PlatformError("'" + windowsPath + "' is not a valid path on the machine (error " +
                        std::to_string(status) + ")");
  }
  return path;
}

}  // namespace dav::platform::sim
