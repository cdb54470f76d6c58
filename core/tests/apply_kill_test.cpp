// Applies killed at each of their writes. A PC holds the user's lock-down of earlier
// documents; a child process applies the example documents and is killed (SIGKILL, by the
// machine's write hook, before its k-th write) for k = 1, 2, ... up to the apply's last
// write. After each kill the machine opens with an intact registry, each saved document and
// the folder access file is the old or the new file whole, and the next apply succeeds.
// The log lines are left out of the write points: they are appended, never rewritten.
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
#include <string>

#include "core/component.h"
#include "core/tests/fake_host.h"
#include "core/tests/machine_snapshot.h"
#include "platform/sim/machine.h"
#include "platform/sim/sqlite_db.h"
#include "util/ansi_text.h"

namespace dav::core::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kComponentFolder =
    "C:\\Program Files\\brisal client\\Components\\DavIrizevez";
constexpr const char* kSaved[] = {"SysConfig.qsf", "WinConfig.qsf", "qrlSysConfig.ini"};

std::string Example(const std::string& name) {
  std::ifstream in(fs::path(DAV_EXAMPLES_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Document(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
         "SpecVersion=\"1.0.0\">" +
         body + "</Configuration></DocRoot>";
}

enum class Apply { kSystem, kWindow };

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
    const std::string name = which == Apply::kSystem ? "SysConfig.qsf" : "WinConfig.qsf";
    const std::string doc = util::FromAnsi(*machine_, Example(name));
    if (which == Apply::kSystem) {
      component_->ApplySysConfigXML(doc, "", false);
    } else {
      component_->ApplyWinConfigXML(doc, "", false);
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
    std::string pattern = (fs::temp_directory_path() / "dav-kill-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    auto machine = platform::sim::Machine::Create(root_ / "before");
    std::string folder;
    for (const char* name :
         {"C:\\Program Files", "\\brisal client", "\\Components", "\\DavIrizevez"}) {
      machine->files().MakeFolder(folder += name);
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
    Pc pc(folder);
    for (const auto& [name, bytes] : pc.Saved()) {
      EXPECT_TRUE(bytes == old_.at(name) || bytes == applied.at(name))
          << name << " is neither the old nor the new file:\n"
          << bytes;
    }
    pc.ApplyNew(GetParam());
    EXPECT_EQ(pc.Saved(), applied) << "the next apply saves the new files";
    EXPECT_EQ(pc.Values(), values) << "and writes the new values";
  }
}

INSTANTIATE_TEST_SUITE_P(Documents, ApplyKillTest,
                         ::testing::Values(Apply::kSystem, Apply::kWindow), [](const auto& info) {
                           return info.param == Apply::kSystem ? "System" : "Window";
                         });

}  // namespace
}  // namespace dav::core::testing
