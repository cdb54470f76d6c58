// Producing and applying the desktop icon list on the simulated PC, as auto recover does at
// every start: a user desktop of n icons, all approved and backed up, read into the list
// (special icons first) and applied back with protection on. BM_FirstApply applies a list
// of n wanted icons with an empty backup, so that every icon is copied into it. Times are
// wall-clock (UseRealTime); each also reports the fitted growth in n.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "desktop/desktop_icon_manager.h"
#include "platform/shell.h"
#include "platform/sim/machine.h"
#include "util/log.h"

namespace dav::desktop {
namespace {

constexpr const char* kDesktop = "C:\\Documents and Settings\\user\\바탕 화면";
constexpr const char* kBackup =
    "C:\\Program Files\\brisal client\\Components\\DavIrizevez\\DIBackup";
constexpr const char* kComponent = "C:\\Program Files\\brisal client\\Components\\DavIrizevez";

// A new machine with n icons on the user's desktop (and, when approved, in the backup),
// written straight into the machine's folder so that setting up is not what is measured.
class BenchDesktop {
 public:
  BenchDesktop(std::int64_t n, bool approved) {
    std::string pattern = (std::filesystem::temp_directory_path() / "dav-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    folder_ = pattern;
    machine_ = platform::sim::Machine::Create(folder_);
    std::filesystem::create_directories(machine_->HostPath("C:\\Program Files") /
                                        "brisal client/Components/DavIrizevez/DIBackup");
    log_ = std::make_unique<util::Log>(*machine_, kComponent);
    icons_ = std::make_unique<DesktopIconManager>(*log_, storeKey_);
    icons_->SetIconFolders(kDesktop, "", kBackup, icons_->LoadFilteringList(), kModeDesktop);
    const auto desktop = machine_->HostPath(kDesktop);
    const auto backup = machine_->HostPath(kBackup);
    for (std::int64_t i = 0; i < n; ++i) {
      const std::string name = "Program " + std::to_string(i) + ".lnk";
      std::ofstream(desktop / name) << "shortcut " << i;
      if (approved) std::ofstream(backup / name) << "shortcut " << i;
    }
    icons_->EnableAutoRecover(true);
  }
  ~BenchDesktop() {
    icons_.reset();
    log_.reset();
    machine_.reset();
    std::filesystem::remove_all(folder_);
  }

  DesktopIconManager& icons() { return *icons_; }
  std::filesystem::path folder() const { return folder_; }
  std::filesystem::path HostPath(const char* windowsPath) {
    return machine_->HostPath(windowsPath);
  }
  // As davhost runs a command: only this process writes the machine's files meanwhile.
  void SoleWriter(bool sole) { machine_->files().SetSoleWriter(sole); }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<platform::sim::Machine> machine_;
  std::unique_ptr<util::Log> log_;
  std::string storeKey_ =
      "Software\\quorel\\brisal client\\Components\\"
      "DavIrizevez.CCDavIrizevez\\DIManager";
  std::unique_ptr<DesktopIconManager> icons_;
};

void BM_ProduceDesktopList(benchmark::State& state) {
  BenchDesktop pc(state.range(0), true);
  for (auto _ : state) {
    IconList list;
    pc.icons().GetDesktopIconList(list, true, kModeDesktop);
    if (list.size() != static_cast<std::size_t>(state.range(0)) + 5) {
      state.SkipWithError("the list misses icons");
    }
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ProduceDesktopList)
    ->RangeMultiplier(2)
    ->Range(1250, 10000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_ApplyDesktopList(benchmark::State& state) {
  BenchDesktop pc(state.range(0), true);
  IconList list;
  pc.icons().GetDesktopIconList(list, true, kModeDesktop);
  for (auto _ : state) pc.icons().ApplyDesktopIconList(true, list, kModeDesktop);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ApplyDesktopList)
    ->RangeMultiplier(2)
    ->Range(1250, 10000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_FirstApply(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    {
      BenchDesktop pc(state.range(0), false);
      IconList list;
      pc.icons().GetDesktopIconList(list, false, kModeDesktop);
      state.ResumeTiming();
      pc.icons().ApplyDesktopIconList(true, list, kModeDesktop);
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FirstApply)
    ->RangeMultiplier(2)
    ->Range(1250, 10000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Complexity();

// The first protected apply beside its anchor in the same run: cp copying the same icon files
// into a fresh folder on the same disk. Counters: both wall-clock times, ours / cp, and the
// CPU time of each (cp's with its shell), which a loaded machine disturbs less.
// Creating a file dominates both. A file system that has just deleted many files (the last
// repetition's) is slow to find room for new ones, and whichever copies first pays for it:
// each repetition copies twice, cp first and then ours first, and adds the times up.
void BM_FirstApplyAgainstCp(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  // CPU seconds (user + system) of this process, or of its waited-for children.
  const auto cpu = [](int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto sum = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return sum(usage.ru_utime) + sum(usage.ru_stime);
  };
  // Wall-clock and CPU seconds of one step, added to *wall and *used; each starts with the
  // writes before it on the disk, not still being written out.
  const auto timed = [&cpu](int who, double* wall, double* used, const auto& step) {
    ::sync();
    const Clock::time_point start = Clock::now();
    const double cpuStart = cpu(who);
    step();
    *wall += std::chrono::duration<double>(Clock::now() - start).count();
    *used += cpu(who) - cpuStart;
  };
  double ours = 0;
  double cp = 0;
  double oursCpu = 0;
  double cpCpu = 0;
  for (auto _ : state) {
    ours = cp = oursCpu = cpCpu = 0;
    for (const bool cpFirst : {true, false}) {
      BenchDesktop pc(state.range(0), false);
      IconList list;
      pc.icons().GetDesktopIconList(list, false, kModeDesktop);
      const std::filesystem::path fresh = pc.folder() / "cp-anchor";
      std::filesystem::create_directory(fresh);
      const std::string command =
          "cp -r '" + pc.HostPath(kDesktop).string() + "/.' '" + fresh.string() + "'";
      const auto copy = [&] {
        timed(RUSAGE_CHILDREN, &cp, &cpCpu, [&] {
          if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
        });
      };
      if (cpFirst) copy();
      pc.SoleWriter(true);
      timed(RUSAGE_SELF, &ours, &oursCpu,
            [&] { pc.icons().ApplyDesktopIconList(true, list, kModeDesktop); });
      pc.SoleWriter(false);
      if (!cpFirst) copy();
      const auto backup = std::filesystem::directory_iterator(pc.HostPath(kBackup));
      if (std::distance(begin(backup), end(backup)) != state.range(0)) {
        state.SkipWithError("the backup misses icons");
      }
    }
  }
  state.counters["ours_s"] = ours;
  state.counters["cp_s"] = cp;
  state.counters["ours/cp"] = cp > 0 ? ours / cp : 0;
  state.counters["ours_cpu_s"] = oursCpu;
  state.counters["cp_cpu_s"] = cpCpu;
}
BENCHMARK(BM_FirstApplyAgainstCp)->Arg(10000)->Iterations(1)->Repetitions(3)->UseRealTime();

}  // namespace
}  // namespace dav::desktop
