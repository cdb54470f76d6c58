// The start program store kept in step with the Run keys on the simulated PC, as SyncReg
// does at every start, before a window document is produced and at termination: with
// protection on (EditStartReg: the Run keys already match the start lists, so nothing moves
// and everything is compared) and off (RefreshSPMStore: the start lists emptied and copied
// again from the Run keys), with n entries in each of the three Run keys. BM_ComponentStart
// is a whole Initialize and Terminate with protection on, which runs SyncReg twice. Times
// are wall-clock (UseRealTime); each also reports the fitted growth in n.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/component.h"
#include "core/tests/quiet_host.h"
#include "platform/sim/machine.h"
#include "startup/start_program_manager.h"
#include "util/ansi_text.h"

namespace dav::startup {
namespace {

constexpr const char* kClientKey = "Software\\quorel\\brisal client";
constexpr const char* kComponent = "C:\\Program Files\\brisal client\\Components\\DavIrizevez";

// A new machine whose three Run keys hold n entries each, taken into the store, with the
// protection given.
class BenchStartup {
 public:
  BenchStartup(std::int64_t n, bool protection) {
    std::string pattern = (std::filesystem::temp_directory_path() / "dav-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    folder_ = pattern;
    machine_ = platform::sim::Machine::Create(folder_);
    std::filesystem::create_directories(machine_->HostPath("C:\\Program Files") /
                                        "brisal client/Components/DavIrizevez");
    log_ = std::make_unique<util::Log>(*machine_, kComponent);
    auto& registry = machine_->registry();
    for (const LiveKey& live : kLiveKeys) {
      platform::KeyHandle key = platform::kNoKey;
      registry.CreateKey(live.hive, live.path, &key);
      for (std::int64_t i = 0; i < n; ++i) {
        registry.SetValue(key, "Program " + std::to_string(i), platform::kRegSz,
                          "C:\\Program Files\\Program " + std::to_string(i) + "\\run.exe /min");
      }
      registry.CloseKey(key);
    }
    StartProgramManager spm = Manager();
    spm.CreateSPMKey();
    spm.RefreshSPMStore();
    spm.EnableOpt(protection);
  }
  ~BenchStartup() {
    log_.reset();
    machine_.reset();
    std::filesystem::remove_all(folder_);
  }

  StartProgramManager Manager() { return {*log_, StorePlacesOf(kClientKey), true}; }
  platform::Platform& platform() { return *machine_; }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<platform::sim::Machine> machine_;
  std::unique_ptr<util::Log> log_;
};

void BM_EditStartReg(benchmark::State& state) {
  BenchStartup pc(state.range(0), true);
  StartProgramManager spm = pc.Manager();
  for (auto _ : state) spm.EditStartReg();
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_EditStartReg)
    ->RangeMultiplier(10)
    ->Range(10, 1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Complexity();

void BM_RefreshSPMStore(benchmark::State& state) {
  BenchStartup pc(state.range(0), false);
  StartProgramManager spm = pc.Manager();
  for (auto _ : state) spm.RefreshSPMStore();
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RefreshSPMStore)
    ->RangeMultiplier(10)
    ->Range(10, 1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Complexity();

void BM_ComponentStart(benchmark::State& state) {
  BenchStartup pc(state.range(0), true);
  // The list was converted at an earlier start.
  platform::KeyHandle key = platform::kNoKey;
  pc.platform().registry().CreateKey(platform::kHKeyLocalMachine, kClientKey, &key);
  pc.platform().registry().SetValue(key, "isSPListEx", platform::kRegSz, "1");
  pc.platform().registry().CloseKey(key);
  for (auto _ : state) {
    core::CCDavIrizevez component(pc.platform(), kComponent);
    component.IClientComponent_Initialize(std::make_shared<core::testing::QuietHost>(), false);
    component.IClientComponent_Terminate();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ComponentStart)
    ->RangeMultiplier(10)
    ->Range(10, 1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Complexity();

}  // namespace
}  // namespace dav::startup
