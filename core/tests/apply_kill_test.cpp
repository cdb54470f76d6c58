// Applies killed at each of their writes. A PC holds the user's lock-down of earlier
// documents and two start programs; a child process applies a document and is killed
// (SIGKILL, by the machine's write hook, before its k-th write) for k = 1, 2, ... up to the
// apply's last write. The documents: the example system and window documents, a legacy
// settings document touching every section (with start programs, icons and a display
// list), a window document that protects a new start program list (Run keys and the
// store), and the window editor's OK. After each kill the machine opens with an intact
// registry, each saved document and the folder access file is the old or the new file
// whole, and the next run saves the same files and writes the same values as an
// uninterrupted one. The log lines are left out of the write points: they are appended,
// never rewritten.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>

#include "core/component.h"
#include "core/tests/fake_host.h"
#include "core/tests/machine_snapshot.h"
#include "editors/form_script.h"
#include "platform/sim/machine.h"
#include "platform/sim/sqlite_db.h"
#include "util/ansi_text.h"

namespace dav::core::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kComponentFolder =
    "C:\\Program Files\\brisal client\\Components\\DavIrizevez";
constexpr const char* kSaved[] = {"SysConfig.qsf", "WinConfig.qsf", "qrlSysConfig.ini",
                                  "DavIrizevez.qsf"};
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string Example(const std::string& name) {
  std::ifstream in(fs::path(DAV_EXAMPLES_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Document(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
         "SpecVersion=\"1.0.0\">" +
         body + "</Configuration></DocRoot>";
}

std::string Flag(bool on) {
  return on ? "True" : "False";
}

// A RunKey element of a start program list.
std::string RunKey(const std::string& hive, const std::string& name, const std::string& command,
                   bool wasStarting, bool starts, bool deleted) {
  return "<RunKey HKey=\"" + hive + "\" Path=\"" + kRunKey + "\" Name=\"" + name + "\" Command=\"" +
         command + "\" IsPrevStart=\"" + Flag(wasStarting) + "\" Checked=\"" + Flag(starts) +
         "\" Deleted=\"" + Flag(deleted) + "\" />\r\n";
}

// Protects a list that starts V3 (new), switches Old off and deletes Messenger.
std::string StartProgramSection() {
  return "<StartProgramManager Protected=\"True\">\r\n<RunKeyList>\r\n" +
         RunKey("-2147483646", "V3", "C:\\V3\\v3.exe /tray", false, true, false) +
         RunKey("-2147483646", "Old", "C:\\Old\\old.exe", true, false, false) +
         RunKey("-2147483647", "Messenger", "C:\\Msg\\msg.exe", true, true, true) +
         "</RunKeyList>\r\n";
}

// The legacy example with start programs, start-up and desktop icons and a display list.
std::string LegacyDocument() {
  std::string doc = Example("DavIrizevez.qsf");
  const auto replace = [&doc](const std::string& from, const std::string& to) {
    const std::size_t at = doc.find(from);
    if (at == std::string::npos) throw std::runtime_error("no " + from + " in the example");
    doc.replace(at, from.size(), to);
  };
  replace("<StartProgramManager Protected=\"True\">\r\n",
          StartProgramSection() + "<IconList>\r\n<Icon FileName=\"Tool.lnk\" Checked=\"1\" />\r\n" +
              "</IconList>\r\n");
  replace("<DesktopIconManager Protected=\"False\">\r\n",
          "<DesktopIconManager Protected=\"True\">\r\n<IconList>\r\n"
          "<Icon FileName=\"Kept.lnk\" Checked=\"1\" />\r\n</IconList>\r\n");
  return doc;
}

// The entries of two maps that differ, one a line: "name: after | expected".
std::string Differences(const std::map<std::string, std::string>& after,
                        const std::map<std::string, std::string>& expected) {
  std::map<std::string, std::pair<std::string, std::string>> both;
  for (const auto& [name, value] : after) both[name].first = value;
  for (const auto& [name, value] : expected) both[name].second = value;
  std::string text;
  for (const auto& [name, pair] : both) {
    if (pair.first != pair.second) text += name + ": " + pair.first + " | " + pair.second + "\n";
  }
  return text;
}

enum class Apply { kSystem, kWindow, kLegacy, kStartPrograms, kEditor };

std::string NameOf(Apply which) {
  constexpr const char* kNames[] = {"System", "Window", "Legacy", "StartPrograms", "Editor"};
  return kNames[static_cast<int>(which)];
}

// A machine opened in this process, with an initialised component.
class Pc {
 public:
  explicit Pc(const fs::path& folder)
      : machine_(platform::sim::Machine::Open(folder)),
        component_(std::make_unique<CCDavIrizevez>(*machine_, kComponentFolder)) {
    component_->IClientComponent_Initialize(std::make_shared<FakeHost>(), false);
    component_->IClientComponent_Handle("REQ_NOTHING", "");  // fixes the WinXP form
  }

  platform::sim::Machine& machine() { return *machine_; }

  void ApplyOld() {
    component_->ApplySysConfigXML(
        Document("<UsedAccess><Row ID=\"CmdPrompt\" Value=\"0\" /></UsedAccess><FolderAccess>"
                 "<Row ID=\"FolderAccess\" Value=\"0\" /><Row ID=\"LowAccess\" Value=\"0\" />"
                 "<Row ID=\"Path\" Value=\"D:\\Old|D:\\Older|D:\\Oldest\" /></FolderAccess>"),
        "", false);
    component_->ApplyWinConfigXML(
        Document("<WinSkill><Row ID=\"NetworkDriveSet\" Value=\"0\" /></WinSkill>"), "", false);
  }
  void ApplyNew(Apply which) {
    switch (which) {
      case Apply::kSystem:
        component_->ApplySysConfigXML(util::FromAnsi(*machine_, Example("SysConfig.qsf")), "",
                                      false);
        break;
      case Apply::kWindow:
        component_->ApplyWinConfigXML(util::FromAnsi(*machine_, Example("WinConfig.qsf")), "",
                                      false);
        break;
      case Apply::kLegacy:
        component_->ApplyWindowSettingXML(LegacyDocument());
        break;
      case Apply::kStartPrograms:
        component_->ApplyWinConfigXML(Document(StartProgramSection() + "</StartProgramManager>"),
                                      "", false);
        break;
      case Apply::kEditor:
        component_->SetFormUi(std::make_shared<editors::ScriptUi>(
            editors::ParseScript("check chkFile(1)\nuncheck chkWinSkill(0)\nok\nchoose 7"),
            machine_->dialogs()));
        component_->IClientComponent_Handle("WINCONFIG", "");
        break;
    }
  }

  std::map<std::string, std::string> Saved() {
    std::map<std::string, std::string> saved;
    for (const char* name : kSaved) {
      saved[name] = FileBytes(*machine_, std::string(kComponentFolder) + "\\" + name);
    }
    return saved;
  }
  std::map<std::string, std::string> Values() {
    return SectionValues(*machine_, "Software\\quorel\\brisal client");
  }

  // Calls stop with the number of each write the machine is about to make.
  void WatchWrites(std::function<void(int)> stop) {
    machine_->faults().beforeWrite = [this, stop = std::move(stop)](std::string_view write) {
      if (write.substr(0, 7) != "Append ") stop(++writes_);
    };
  }
  int writes() const { return writes_; }

 private:
  std::unique_ptr<platform::sim::Machine> machine_;
  std::unique_ptr<CCDavIrizevez> component_;
  int writes_ = 0;
};

class ApplyKillTest : public ::testing::TestWithParam<Apply> {
 protected:
  void SetUp() override {
    // In memory when the system has a file system there: a killed process loses nothing
    // that the kernel holds, so the disk adds only time to the hundreds of machine copies.
    std::error_code error;
    const fs::path base = fs::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0
                              ? fs::path("/dev/shm")
                              : fs::temp_directory_path();
    std::string pattern = (base / "dav-kill-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    auto machine = platform::sim::Machine::Create(root_ / "before");
    std::string folder;
    for (const char* name :
         {"C:\\Program Files", "\\brisal client", "\\Components", "\\DavIrizevez"}) {
      machine->files().MakeFolder(folder += name);
    }
    // Start programs the user had: Old and Messenger start, Tool and Kept are icons.
    for (const auto& [hive, name, command] :
         {std::tuple{platform::kHKeyLocalMachine, "Old", "C:\\Old\\old.exe"},
          std::tuple{platform::kHKeyCurrentUser, "Messenger", "C:\\Msg\\msg.exe"}}) {
      platform::KeyHandle key = platform::kNoKey;
      ASSERT_EQ(machine->registry().CreateKey(hive, kRunKey, &key), platform::kErrorSuccess);
      ASSERT_EQ(
          machine->registry().SetValue(key, name, platform::kRegSz, std::string(command) + '\0'),
          platform::kErrorSuccess);
      machine->registry().CloseKey(key);
    }
    machine.reset();
    Pc pc(root_ / "before");
    pc.ApplyOld();
    old_ = pc.Saved();
  }
  void TearDown() override { fs::remove_all(root_); }

  // A copy of the PC as it was before the apply.
  fs::path Copy(const std::string& name) {
    fs::remove_all(root_ / name);
    fs::copy(root_ / "before", root_ / name, fs::copy_options::recursive);
    return root_ / name;
  }

  fs::path root_;
  std::map<std::string, std::string> old_;
};

TEST_P(ApplyKillTest, EveryWriteOfTheApplyMayBeItsLast) {
  std::map<std::string, std::string> applied;
  std::map<std::string, std::string> values;
  int points = 0;
  {
    Pc pc(Copy("whole"));
    pc.WatchWrites([](int) {});
    pc.ApplyNew(GetParam());
    points = pc.writes();
  }
  {
    // The PC as the next start finds it (which recovers the desktop icons when the apply
    // switched their recovery on).
    Pc pc(root_ / "whole");
    applied = pc.Saved();
    values = pc.Values();
  }
  ASSERT_GT(points, 0);
  RecordProperty("write_points", points);

  for (int point = 1; point <= points; ++point) {
    SCOPED_TRACE("killed before write " + std::to_string(point) + " of " + std::to_string(points));
    const fs::path folder = Copy("killed");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      Pc pc(folder);
      pc.WatchWrites([point](int write) {
        if (write == point) kill(getpid(), SIGKILL);
      });
      pc.ApplyNew(GetParam());
      _exit(3);  // the write never came
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

    {
      auto db = platform::sim::Database::Open(folder / "registry.db", false);
      auto check = db->Prepare("PRAGMA integrity_check");
      ASSERT_TRUE(check.Step());
      EXPECT_EQ(check.Text(0), "ok");
    }
    {
      Pc pc(folder);
      for (const auto& [name, bytes] : pc.Saved()) {
        EXPECT_TRUE(bytes == old_.at(name) || bytes == applied.at(name))
            << name << " is neither the old nor the new file:\n"
            << bytes;
      }
      pc.ApplyNew(GetParam());
    }
    Pc next(folder);
    EXPECT_EQ(next.Saved(), applied) << "the next run saves the new files";
    EXPECT_EQ(Differences(next.Values(), values), "") << "and leaves the same values";
  }
}

INSTANTIATE_TEST_SUITE_P(Documents, ApplyKillTest,
                         ::testing::Values(Apply::kSystem, Apply::kWindow, Apply::kLegacy,
                                           Apply::kStartPrograms, Apply::kEditor),
                         [](const auto& info) { return NameOf(info.param); });

}  // namespace
}  // namespace dav::core::testing
