// Producing and applying the desktop icon list on the simulated PC, as auto recover does at
// every start: a user desktop of n icons, all approved and backed up, read into the list
// (special icons first) and applied back with protection on. BM_FirstApply applies a list
// of n wanted icons with an empty backup, so that every icon is copied into it. Times are
// wall-clock (UseRealTime); each also reports the fitted growth in n.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
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

}  // namespace
}  // namespace dav::desktop
