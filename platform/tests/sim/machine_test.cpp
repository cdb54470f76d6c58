// The machine folder: creating, reopening and sharing a simulated PC, its settings, its
// defaults and its event journal.
#include "platform/sim/machine.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/code_page.h"
#include "platform/open_platform.h"
#include "platform/sim/machine_schema.h"
#include "platform/sim/machine_store.h"
#include "platform/sim/sqlite_db.h"
#include "platform/tests/sim/temp_folder.h"

namespace dav::platform::sim {
namespace {

using testing::TempFolder;

LocalTime At(int hour, int minute, int second) {
  using namespace std::chrono;
  return LocalTime{local_days{year{2024} / February / 29} + hours{hour} + minutes{minute} +
                   seconds{second}};
}

// Reads a REG_SZ value as UTF-8 text, or "<missing>".
std::string ReadText(Platform& pc, KeyHandle hive, const std::string& path,
                     const std::string& name) {
  KeyHandle key = kNoKey;
  if (pc.registry().OpenKey(hive, path, &key) != kErrorSuccess) return "<missing key>";
  std::uint8_t buffer[512];
  std::uint32_t size = sizeof buffer;
  const Status status = pc.registry().QueryValue(key, name, nullptr, buffer, &size);
  pc.registry().CloseKey(key);
  if (status != kErrorSuccess || size == 0) return "<missing>";
  std::string text;
  DecodeCodePage(pc.system().AnsiCodePage(),
                 std::string_view(reinterpret_cast<char*>(buffer), size - 1), &text);
  return text;
}

void WriteText(Platform& pc, const std::string& path, const std::string& name,
               const std::string& text) {
  KeyHandle key = kNoKey;
  ASSERT_EQ(pc.registry().CreateKey(kHKeyCurrentUser, path, &key), kErrorSuccess);
  std::string ansi;
  EncodeCodePage(pc.system().AnsiCodePage(), text, &ansi);
  ASSERT_EQ(pc.registry().SetValue(key, name, kRegSz, ansi), kErrorSuccess);
  pc.registry().CloseKey(key);
}

TEST(MachineFolder, ReopenedMachineKeepsEverything) {
  TempFolder temp;
  const auto folder = temp.path() / "pc";
  EXPECT_FALSE(Machine::Exists(folder));
  {
    auto machine = Machine::Create(folder);
    EXPECT_TRUE(Machine::Exists(folder));
    WriteText(*machine, "Software\\Kept", "Name", "값 유지");
    machine->SetSetting("user_name", "student");
    machine->RecordEvent("test", "before");
    ASSERT_EQ(machine->files().WriteAll("C:\\kept.txt", "bytes"), kErrorSuccess);
  }
  auto machine = Machine::Open(folder);
  EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, "Software\\Kept", "Name"), "값 유지");
  EXPECT_EQ(machine->system().UserName(), "student");
  ASSERT_EQ(machine->Events().size(), 1u);
  EXPECT_EQ(machine->Events()[0].detail, "before");
  std::string bytes;
  EXPECT_EQ(machine->files().ReadAll("C:\\kept.txt", &bytes), kErrorSuccess);
  EXPECT_EQ(bytes, "bytes");

  EXPECT_THROW(Machine::Create(folder), PlatformError) << "a machine is never made over another";
}

TEST(MachineFolder, WhatIsNoMachineIsRefusedAndOpenPlatformCreatesOnce) {
  TempFolder temp;
  EXPECT_THROW(Machine::Open(temp.path()), PlatformError);
  EXPECT_THROW(OpenPlatform(temp.path(), false), PlatformError);
  EXPECT_EQ(Machine::OpenIfExists(temp.path()), nullptr);
  // The empty database an interrupted Create leaves is no machine either, and no damage.
  std::ofstream(temp.path() / "registry.db").flush();
  EXPECT_EQ(Machine::OpenIfExists(temp.path()), nullptr);
  WriteText(*OpenPlatform(temp.path(), true), "Software\\Once", "v", "1");
  EXPECT_EQ(ReadText(*OpenPlatform(temp.path(), true), kHKeyCurrentUser, "Software\\Once", "v"),
            "1")
      << "the second call opens the machine the first one made";

  TempFolder damaged;
  const std::string text = "this is not a database, only some text";
  std::ofstream(damaged.path() / "registry.db") << text;
  EXPECT_FALSE(Machine::Exists(damaged.path()));
  EXPECT_NE(Machine::DamageOf(damaged.path()), "") << "a file that is no database is damage";
  EXPECT_THROW(Machine::Open(damaged.path()), PlatformError);
  EXPECT_THROW(Machine::OpenIfExists(damaged.path()), PlatformError);
  EXPECT_THROW(Machine::Create(damaged.path()), PlatformError) << "nothing is made over it";
  EXPECT_FALSE(std::filesystem::exists(damaged.path() / "drives"));
  EXPECT_EQ(std::filesystem::file_size(damaged.path() / "registry.db"), text.size())
      << "left as it was";

  // A machine of this build's schema opens; one of a newer build's is refused, untouched.
  TempFolder newer;
  Machine::Create(newer.path());
  Database::Open(newer.path() / "registry.db", false)->SetUserVersion(kMachineSchemaVersion + 1);
  EXPECT_THROW(Machine::Open(newer.path()), PlatformError);
  EXPECT_EQ(Database::Open(newer.path() / "registry.db", false)->UserVersion(),
            kMachineSchemaVersion + 1);
  Database::Open(newer.path() / "registry.db", false)->SetUserVersion(kMachineSchemaVersion);
  EXPECT_NE(Machine::Open(newer.path()), nullptr);
}

TEST(MachineFolder, AFailedCreateLeavesTheFolderAsItFoundIt) {
  TempFolder temp;
  // A file where the profiles folder must go makes the set-up fail half-way.
  std::filesystem::create_directories(temp.path() / "drives" / "C");
  std::ofstream(temp.path() / "drives" / "C" / "Documents and Settings") << "in the way";
  EXPECT_THROW(Machine::Create(temp.path()), PlatformError);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(temp.path())) {
    left.push_back(std::filesystem::relative(entry.path(), temp.path()).generic_string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left,
            (std::vector<std::string>{"drives", "drives/C", "drives/C/Documents and Settings"}))
      << "no registry.db or special folder may stay behind";
  EXPECT_EQ(Machine::DamageOf(temp.path()), "");
}

TEST(MachineFolder, AMachineInMemoryGoesBackToTheStateItKept) {
  TempFolder temp;
  const auto folder = temp.path() / "pc";
  auto machine = Machine::CreateInMemory(folder);
  EXPECT_FALSE(Machine::Exists(folder)) << "no registry.db in the folder";
  EXPECT_THROW(machine->RestoreState(), PlatformError) << "nothing kept yet";
  WriteText(*machine, "Software\\Kept", "A", "가");
  ASSERT_EQ(machine->files().WriteAll("C:\\kept.txt", "old"), kErrorSuccess);
  ASSERT_EQ(machine->files().SetAttributes("C:\\kept.txt", kAttrHidden), kErrorSuccess);
  machine->KeepState();

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    WriteText(*machine, "Software\\Kept", "A", "changed");
    WriteText(*machine, "Software\\Kept", "A", "changed again");  // one row changed twice
    WriteText(*machine, "Software\\Kept", "B", "new");
    WriteText(*machine, "Software\\Kept\\New", "C", "new");
    ASSERT_EQ(machine->files().WriteAll("C:\\kept.txt", "changed"), kErrorSuccess);
    ASSERT_EQ(machine->files().WriteAll("C:\\new.txt", "new"), kErrorSuccess);
    // An enumeration under way remembers where it is; the restore must not be hidden by it.
    KeyHandle key = kNoKey;
    ASSERT_EQ(machine->registry().OpenKey(kHKeyCurrentUser, "Software\\Kept", &key), kErrorSuccess);
    std::string name;
    ASSERT_EQ(machine->registry().EnumKey(key, 0, &name), kErrorSuccess);

    machine->RestoreState();
    EXPECT_EQ(machine->registry().EnumKey(key, 0, &name), kErrorNoMoreItems) << name;
    machine->registry().CloseKey(key);
    EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, "Software\\Kept", "A"), "가");
    EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, "Software\\Kept", "B"), "<missing>");
    EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, "Software\\Kept\\New", "C"), "<missing key>");
    std::string bytes;
    EXPECT_EQ(machine->files().ReadAll("C:\\kept.txt", &bytes), kErrorSuccess);
    EXPECT_EQ(bytes, "old");
    EXPECT_EQ(machine->files().GetAttributes("C:\\kept.txt") & kAttrHidden, kAttrHidden);
    EXPECT_EQ(machine->files().GetAttributes("C:\\new.txt"), kInvalidAttributes);
  }
}

// The drives are put back from the notes of what the file system changed: every kind of
// change has to be noted, the notes start again after each restore, and what the file system
// remembers of the entries put back must not hide them.
TEST(MachineFolder, AMachineInMemoryPutsBackEveryKindOfFileChange) {
  TempFolder temp;
  auto machine = Machine::CreateInMemory(temp.path() / "pc");
  FileSystem& files = machine->files();
  ASSERT_EQ(files.WriteAll("C:\\kept.txt", "old"), kErrorSuccess);
  ASSERT_EQ(files.MakeFolder("C:\\full"), kErrorSuccess);
  ASSERT_EQ(files.WriteAll("C:\\full\\inner.txt", "inner"), kErrorSuccess);
  ASSERT_EQ(files.MakeFolder("C:\\empty"), kErrorSuccess);
  ASSERT_EQ(files.WriteAll("C:\\hidden.txt", "hidden"), kErrorSuccess);
  ASSERT_EQ(files.SetAttributes("C:\\hidden.txt", kAttrHidden), kErrorSuccess);
  machine->KeepState();
  files.SetSoleWriter(true);

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_EQ(files.Append("C:\\kept.txt", " and more"), kErrorSuccess);
    ASSERT_EQ(files.Delete("C:\\full\\inner.txt"), kErrorSuccess);
    ASSERT_EQ(files.RemoveFolder("C:\\full"), kErrorSuccess);
    ASSERT_EQ(files.WriteAll("C:\\full", "a file where a folder was"), kErrorSuccess);
    ASSERT_EQ(files.SetAttributes("C:\\empty", kAttrDirectory | kAttrHidden), kErrorSuccess);
    ASSERT_EQ(files.SetAttributes("C:\\hidden.txt", kAttrNormal), kErrorSuccess);
    ASSERT_EQ(files.MakeFolder("C:\\new"), kErrorSuccess);
    ASSERT_EQ(files.WriteAll("C:\\new\\a.txt", "new"), kErrorSuccess);
    ASSERT_EQ(files.Copy("C:\\hidden.txt", "C:\\copy.txt", true), kErrorSuccess);

    machine->RestoreState();
    std::string bytes;
    EXPECT_EQ(files.ReadAll("C:\\kept.txt", &bytes), kErrorSuccess);
    EXPECT_EQ(bytes, "old") << "an appended file";
    EXPECT_EQ(files.ReadAll("C:\\full\\inner.txt", &bytes), kErrorSuccess)
        << "a file deleted in a folder removed";
    EXPECT_EQ(bytes, "inner");
    EXPECT_EQ(files.GetAttributes("C:\\empty"), kAttrDirectory) << "a folder's attributes";
    EXPECT_EQ(files.GetAttributes("C:\\hidden.txt") & kAttrHidden, kAttrHidden)
        << "a file's attributes";
    EXPECT_EQ(files.GetAttributes("C:\\new"), kInvalidAttributes) << "a folder made";
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "pc/drives/C/new"));
    EXPECT_EQ(files.GetAttributes("C:\\copy.txt"), kInvalidAttributes) << "a copy made";
  }
}

// Keys made after the state was kept are forgotten with it: their ids are given out again.
// (Keys right below the hive: a miss below a remembered level would forget all by itself.)
TEST(MachineFolder, AMachineInMemoryForgetsTheKeysItTookBack) {
  TempFolder temp;
  auto machine = Machine::CreateInMemory(temp.path() / "pc");
  WriteText(*machine, "Kept", "A", "kept");
  machine->KeepState();
  WriteText(*machine, "Made", "A", "made");
  EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, "Kept", "A"), "kept");
  EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, "Made", "A"), "made");

  machine->RestoreState();
  WriteText(*machine, "Other", "A", "other");  // takes the id Made had
  EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, "Made", "A"), "<missing key>");
  EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, "Kept", "A"), "kept");
}

TEST(MachineDefaults, AKoreanWindowsXpPc) {
  TempFolder temp;
  auto machine = Machine::Create(temp.path());
  SystemInfo& system = machine->system();
  const OsVersion v = system.Version();
  const LocaleFormats l = system.Locale();
  EXPECT_EQ(std::to_string(v.platformId) + " " + std::to_string(v.major) + "." +
                std::to_string(v.minor) + "." + std::to_string(v.build) + " " + v.servicePack,
            "2 5.1.2600 Service Pack 3");
  EXPECT_EQ(system.AnsiCodePage(), 949u);
  EXPECT_EQ(system.SystemDirectory() + "|" + system.UserName(), "C:\\WINDOWS\\system32|user");
  EXPECT_EQ(l.shortDate + "|" + l.time + "|" + l.amDesignator + "|" + l.pmDesignator,
            "yyyy-MM-dd|tt h:mm:ss|오전|오후");

  std::string path;
  std::string name;
  ASSERT_EQ(machine->shell().SpecialFolderPath(kCsidlCommonStartup, &path), kErrorSuccess);
  EXPECT_EQ(path, "C:\\Documents and Settings\\All Users\\시작 메뉴\\프로그램\\시작프로그램");
  ASSERT_EQ(machine->shell().SpecialFolderDisplayName(kCsidlDrives, &name), kErrorSuccess);
  EXPECT_EQ(name, "내 컴퓨터");
  ASSERT_EQ(
      machine->shell().ParsingNameDisplayName("::{450D8FBA-AD25-11D0-98A8-0800361B1103}", &name),
      kErrorSuccess);
  EXPECT_EQ(name, "내 문서");
  EXPECT_EQ(machine->shell().SpecialFolderPath(0x30, &path), kErrorInvalidParameter);

  for (const SpecialFolder& folder : machine->SpecialFolders()) {
    if (folder.path.empty()) continue;
    EXPECT_TRUE(std::filesystem::is_directory(machine->HostPath(folder.path)))
        << folder.path << " must exist on drive C";
  }
}

TEST(MachineDefaults, RegistryKnowsTheShellFolders) {
  TempFolder temp;
  auto machine = Machine::Create(temp.path());
  const std::string shellFolders =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  const std::string userShellFolders =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, shellFolders, "Start Menu"),
            "C:\\Documents and Settings\\user\\시작 메뉴");
  EXPECT_EQ(ReadText(*machine, kHKeyCurrentUser, userShellFolders, "Desktop"),
            "C:\\Documents and Settings\\user\\바탕 화면");
  EXPECT_EQ(ReadText(*machine, kHKeyLocalMachine, shellFolders, "Common Programs"),
            "C:\\Documents and Settings\\All Users\\시작 메뉴\\프로그램");
  EXPECT_EQ(ReadText(*machine, kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                     "ProgramFilesDir"),
            "C:\\Program Files");
  for (const KeyHandle hive : {kHKeyLocalMachine, kHKeyCurrentUser}) {
    KeyHandle run = kNoKey;
    ASSERT_EQ(machine->registry().OpenKey(hive, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                          &run),
              kErrorSuccess);
    KeyInfo info;
    ASSERT_EQ(machine->registry().QueryInfoKey(run, &info), kErrorSuccess);
    EXPECT_EQ(info.values + info.subKeys, 0u) << "a new PC starts no programs";
    machine->registry().CloseKey(run);
  }
}

TEST(MachineSettings, ChangesAreCheckedAndTakeEffect) {
  TempFolder temp;
  auto machine = Machine::Create(temp.path());
  const std::pair<const char*, const char*> refused[] = {
      {"colour", "blue"},
      {"code_page", "abc"},
      {"code_page", "12345"},
      {"version", "5.1"},
      {"version", "5.x.2600"},
      {"platform_id", "3"},
      {"user_name", "a\\b"},
      {"user_name", ""},
      {"system_directory", "WINDOWS"},
      {"client_key", "HKLM\\Software\\x"},
      {"client_key", "HKEY_LOCAL_MACHINE\\S"},
      {"message_box_answer", "0"},
      {"short_date", ""},
      {"waits", "fast"},
      {"faults", "disk_full,bogus"},
      {"faults", "read_only:Data"},
  };
  for (const auto& [name, value] : refused) {
    try {
      machine->SetSetting(name, value);
      ADD_FAILURE() << name << " = '" << value << "' was accepted";
    } catch (const PlatformError& error) {
      EXPECT_NE(std::string(error.what()).find(name), std::string::npos)
          << "the message names the setting: " << error.what();
    }
  }
  EXPECT_EQ(machine->Settings()[3], (std::pair<std::string, std::string>("code_page", "949")))
      << "a refused value changes nothing";

  machine->SetSetting("version", "6.1.7601");
  EXPECT_THROW(machine->SetSetting("code_page", "1252"), PlatformError)
      << "the seeded registry holds Korean text in code page 949";
  machine->SetSetting("code_page", "949");
  EXPECT_EQ(machine->system().Version().minor, 1u);
  EXPECT_EQ(machine->system().Version().build, 7601u);
  EXPECT_EQ(machine->system().AnsiCodePage(), 949u);

  TempFolder other;
  auto western = Machine::Create(other.path(), 1252);
  EXPECT_EQ(western->system().AnsiCodePage(), 1252u) << "a machine is made in its code page";
  western->registry().SetValue(kHKeyCurrentUser, "a", kRegSz, "\xE9");  // é
  EXPECT_THROW(western->SetSetting("code_page", "949"), PlatformError)
      << "text outside ASCII pins the code page";
}

// Several settings read at once (the locale's four): each from its own row, in the order
// asked, a missing row as its default, and an unknown name refused.
TEST(MachineSettings, SeveralAreReadTogether) {
  TempFolder temp;
  auto db = Database::Open(temp.path() / "machine.db", true);
  UpgradeMachineSchema(*db);
  MachineStore store(*db);
  store.Initialize({});
  store.SetSetting("am", "AM");
  store.SetSetting("short_date", "dd/MM/yyyy");
  db->Exec("DELETE FROM settings WHERE name = 'pm'");
  EXPECT_EQ(store.Settings({"pm", "am", "short_date"}),
            (std::vector<std::string>{"오후", "AM", "dd/MM/yyyy"}));
  EXPECT_THROW(store.Settings({"am", "bogus"}), PlatformError);
}

TEST(MachineSettings, SkippedWaitsMoveTheClockOnFromTheNextOpening) {
  TempFolder temp;
  Machine::Create(temp.path())->SetSetting("waits", "skip");
  auto machine = Machine::Open(temp.path());
  const LocalTime start = machine->clock().Now();
  for (int i = 0; i < 600; ++i) machine->clock().PumpMessages();  // a minute of waiting
  EXPECT_GE(machine->clock().Now() - start, std::chrono::minutes(1));
}

// The faults of the setting act from the next opening: a folder that may not be written
// refuses every write below it (and only there), a full disk refuses writes that need room
// and registry writes, and reads go on.
TEST(MachineSettings, FaultsOfTheSettingRefuseWritesFromTheNextOpening) {
  TempFolder temp;
  {
    auto machine = Machine::Create(temp.path());
    ASSERT_EQ(machine->files().MakeFolder("C:\\Data"), kErrorSuccess);
    ASSERT_EQ(machine->files().WriteAll("C:\\Data\\a.txt", "old"), kErrorSuccess);
    machine->SetSetting("faults", "read_only:c:/data");
  }
  auto machine = Machine::Open(temp.path());
  FileSystem& files = machine->files();
  EXPECT_EQ(files.WriteAll("C:\\DATA\\a.txt", "new"), kErrorAccessDenied);
  EXPECT_EQ(files.Delete("C:\\Data\\a.txt"), kErrorAccessDenied);
  EXPECT_EQ(files.MakeFolder("C:\\Data\\Sub"), kErrorAccessDenied);
  EXPECT_EQ(files.WriteAll("C:\\Database.txt", "x"), kErrorSuccess) << "not below the folder";
  std::string bytes;
  EXPECT_EQ(files.ReadAll("C:\\Data\\a.txt", &bytes), kErrorSuccess);
  EXPECT_EQ(bytes, "old");

  machine->SetSetting("faults", "disk_full");
  machine = Machine::Open(temp.path());
  EXPECT_EQ(machine->files().Append("C:\\Data\\a.txt", "more"), kErrorDiskFull);
  EXPECT_EQ(machine->files().Delete("C:\\Database.txt"), kErrorSuccess) << "a delete needs no room";
  KeyHandle key = kNoKey;
  EXPECT_EQ(machine->registry().CreateKey(kHKeyCurrentUser, "Software\\New", &key),
            kErrorRegistryIoFailed);
  ASSERT_EQ(machine->registry().CreateKey(kHKeyCurrentUser, "Software", &key), kErrorSuccess)
      << "an existing key still opens";
  EXPECT_EQ(machine->registry().SetValue(key, "v", kRegSz, "x"), kErrorRegistryIoFailed);
  machine->registry().CloseKey(key);
  EXPECT_EQ(machine->faults().injected().at("disk_full"), 3u);
}

TEST(MachineEvents, JournalRecordsShellAndMessageBoxes) {
  TempFolder temp;
  auto machine = Machine::Create(temp.path());
  auto clock = std::make_unique<FakeClock>(At(23, 59, 58));
  FakeClock& time = *clock;
  machine->ReplaceClock(std::move(clock));

  machine->shell().ChangeNotify(kShcneAssocChanged, 0);
  time.Advance(std::chrono::seconds(3));
  machine->SetMessageBoxAnswer(kIdNo);
  EXPECT_EQ(machine->dialogs().ShowMessage("본문", "제목", kMbYesNo | kMbIconQuestion), kIdNo)
      << "the box answers what the machine was told";

  const auto events = machine->Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, "shell.notify");
  EXPECT_EQ(events[0].detail, "0x08000000");
  EXPECT_EQ(events[0].time, "2024-02-29 23:59:58");
  EXPECT_EQ(events[1].kind, "messagebox");
  EXPECT_EQ(events[1].detail, "제목 | style 0x24 | 본문");
  EXPECT_EQ(events[1].time, "2024-03-01 00:00:01") << "the time passes midnight into March";
  EXPECT_LT(events[0].sequence, events[1].sequence);

  const auto later = machine->Events(events[0].sequence);
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0].kind, "messagebox");
}

TEST(MachineSharing, TwoOpenMachinesSeeEachOthersChanges) {
  TempFolder temp;
  auto first = Machine::Create(temp.path());
  auto second = Machine::Open(temp.path());

  WriteText(*first, "Software\\Shared", "v", "from first");
  EXPECT_EQ(ReadText(*second, kHKeyCurrentUser, "Software\\Shared", "v"), "from first");

  second->SetSetting("user_name", "other");
  EXPECT_EQ(first->system().UserName(), "other");

  KeyHandle held = kNoKey;
  ASSERT_EQ(first->registry().OpenKey(kHKeyCurrentUser, "Software\\Shared", &held), kErrorSuccess);
  ASSERT_EQ(second->registry().DeleteKey(kHKeyCurrentUser, "Software\\Shared"), kErrorSuccess);
  EXPECT_EQ(first->registry().SetValue(held, "v", kRegSz, "late"), kErrorKeyDeleted)
      << "a key deleted by another process is deleted for every handle";
  first->registry().CloseKey(held);

  first->RecordEvent("first", "");
  second->RecordEvent("second", "");
  const auto events = first->Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].kind, "second");
}

// Between its reads a machine keeps one read open; waiting idle, it must let go of it, or
// another process could never restart the write-ahead log and it would grow without end.
TEST(MachineSharing, IdleLetsOtherProcessesRestartTheLog) {
  TempFolder temp;
  auto machine = Machine::Create(temp.path());
  WriteText(*machine, "Software\\Shared", "v", "in the log");
  ASSERT_EQ(ReadText(*machine, kHKeyCurrentUser, "Software\\Shared", "v"), "in the log");
  auto other = Database::Open(temp.path() / "registry.db", false);
  sqlite3_busy_timeout(other->handle(), 0);
  auto restartBlocked = [&] {
    auto checkpoint = other->Prepare("PRAGMA wal_checkpoint(RESTART)");
    return checkpoint.Step() && checkpoint.Int(0) != 0;
  };
  EXPECT_TRUE(restartBlocked()) << "the machine's read is held between calls";
  machine->Idle();
  EXPECT_FALSE(restartBlocked()) << "an idle machine holds no read";
}

}  // namespace
}  // namespace dav::platform::sim
