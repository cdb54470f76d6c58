// A protected desktop apply killed at each of its writes. The desktops hold approved icons
// (some not backed up yet) and icons that are no longer approved; two approved icons are
// only in the backup. A child process applies the list and is killed (SIGKILL, by the
// machine's write hook) before its k-th write, for every k up to the apply's last write.
// Whatever the moment, every approved icon is on a desktop or in the backup, and the next
// apply finishes the job.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "desktop/desktop_icon_manager.h"
#include "platform/shell.h"
#include "platform/sim/machine.h"
#include "util/log.h"

namespace dav::desktop {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUser = "C:\\Users\\user\\Desktop";
constexpr const char* kCommon = "C:\\Users\\Public\\Desktop";
constexpr const char* kBackup = "C:\\Client\\DIBackup";
constexpr const char* kStoreKey = "Software\\KillTest\\DIManager";

// Approved: on the user's desktop (the first two not yet backed up), on the all-users
// desktop, and only in the backup. Not approved: on the desktops, one of them still backed
// up from an earlier apply.
const std::vector<std::string> kApproved = {"P1.lnk", "P2.lnk", "P3.lnk", "P4.lnk",
                                            "P5.lnk", "M1.lnk", "M2.lnk"};
const std::vector<std::string> kUnapproved = {"U1.lnk", "U2.lnk", "U3.lnk"};

std::string In(const char* folder, const std::string& name) {
  return std::string(folder) + "\\" + name;
}

class Pc {
 public:
  explicit Pc(const fs::path& folder)
      : machine_(platform::sim::Machine::Open(folder)), log_(*machine_, "C:\\Client") {
    icons_.SetIconFolders(kUser, kCommon, kBackup, icons_.LoadFilteringList(), kModeDesktop);
  }

  platform::sim::Machine& machine() { return *machine_; }
  bool Has(const std::string& path) {
    return machine_->files().GetAttributes(path) != platform::kInvalidAttributes;
  }

  void Apply() {
    IconList list;
    for (int i = 0; i < icons_.SpecialIconCount(); ++i) list.push_back({"special", 1});
    for (const std::string& name : kApproved) list.push_back({name, 1});
    for (const std::string& name : kUnapproved) list.push_back({name, 0});
    icons_.ApplyDesktopIconList(true, list, kModeDesktop);
  }

  // Calls stop with the number of each write the machine is about to make (log lines aside).
  void WatchWrites(std::function<void(int)> stop) {
    machine_->faults().beforeWrite = [this, stop = std::move(stop)](std::string_view write) {
      if (write.substr(0, 7) != "Append ") stop(++writes_);
    };
  }
  int writes() const { return writes_; }

 private:
  std::unique_ptr<platform::sim::Machine> machine_;
  util::Log log_;
  std::string storeKey_ = kStoreKey;  // the manager keeps a reference to it
  DesktopIconManager icons_{log_, storeKey_};
  int writes_ = 0;
};

class DesktopApplyKillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "dav-desktop-kill-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    auto machine = platform::sim::Machine::Create(root_ / "before");
    platform::FileSystem& files = machine->files();
    for (const char* folder : {"C:\\Users", "C:\\Users\\user", kUser, "C:\\Users\\Public", kCommon,
                               "C:\\Client", kBackup}) {
      files.MakeFolder(folder);
    }
    const auto put = [&](const char* folder, const std::string& name) {
      ASSERT_EQ(files.WriteAll(In(folder, name), "shortcut " + name), platform::kErrorSuccess);
    };
    for (const char* name : {"P1.lnk", "P2.lnk", "P3.lnk", "P4.lnk"}) put(kUser, name);
    put(kCommon, "P5.lnk");
    for (const char* name : {"P3.lnk", "P4.lnk", "P5.lnk", "M1.lnk", "M2.lnk"}) put(kBackup, name);
    put(kUser, "U1.lnk");
    put(kCommon, "U2.lnk");
    put(kUser, "U3.lnk");
    put(kBackup, "U3.lnk");
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path Copy(const std::string& name) {
    fs::remove_all(root_ / name);
    fs::copy(root_ / "before", root_ / name, fs::copy_options::recursive);
    return root_ / name;
  }

  // The approved icons that are neither on a desktop nor in the backup.
  static std::vector<std::string> Lost(Pc& pc) {
    std::vector<std::string> lost;
    for (const std::string& name : kApproved) {
      if (!pc.Has(In(kUser, name)) && !pc.Has(In(kCommon, name)) && !pc.Has(In(kBackup, name))) {
        lost.push_back(name);
      }
    }
    return lost;
  }

  fs::path root_;
};

TEST_F(DesktopApplyKillTest, NoApprovedIconIsEverInNeitherPlace) {
  int points = 0;
  {
    Pc pc(Copy("whole"));
    pc.WatchWrites([](int) {});
    pc.Apply();
    points = pc.writes();
    for (const std::string& name : kApproved) {
      EXPECT_TRUE(pc.Has(In(kUser, name)) || pc.Has(In(kCommon, name))) << name;
      EXPECT_TRUE(pc.Has(In(kBackup, name))) << name;
    }
    for (const std::string& name : kUnapproved) {
      EXPECT_FALSE(pc.Has(In(kUser, name)) || pc.Has(In(kCommon, name)) ||
                   pc.Has(In(kBackup, name)))
          << name;
    }
  }
  // Deletes of the three, copies of two into the backup and two back onto the desktop.
  ASSERT_GE(points, 7);
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
      pc.Apply();
      _exit(3);  // the write never came
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

    Pc pc(folder);
    EXPECT_EQ(Lost(pc), std::vector<std::string>{});
    pc.Apply();
    EXPECT_EQ(Lost(pc), std::vector<std::string>{});
    for (const std::string& name : kApproved) {
      EXPECT_TRUE(pc.Has(In(kUser, name)) || pc.Has(In(kCommon, name)))
          << name << " is back on a desktop after the next apply";
    }
  }
}

}  // namespace
}  // namespace dav::desktop
