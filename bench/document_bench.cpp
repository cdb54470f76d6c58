// Applying and producing whole configuration documents on the simulated PC, log writes
// included: the example PC room documents, and a system document whose control panel form
// lists 1,000 applets, to show how the cost grows with a document. Times are wall-clock
// (UseRealTime): every registry write is a durable transaction of the machine.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "core/component.h"
#include "core/tests/quiet_host.h"
#include "platform/sim/machine.h"
#include "util/ansi_text.h"

namespace dav::core {
namespace {

// A new machine with an initialised component, removed afterwards.
class BenchComponent {
 public:
  BenchComponent() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dav-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    folder_ = pattern;
    machine_ = platform::sim::Machine::Create(folder_);
    const std::string componentFolder = kComponentFolder;
    for (const char* path :
         {"C:\\Program Files\\brisal client", "C:\\Program Files\\brisal client\\Components",
          componentFolder.c_str()}) {
      machine_->files().MakeFolder(path);
    }
    component_ = std::make_unique<CCDavIrizevez>(*machine_, componentFolder);
    component_->IClientComponent_Initialize(std::make_shared<testing::QuietHost>(), false);
    component_->IClientComponent_Handle("REQ_NOTHING", "");  // fixes the WinXP form
  }
  ~BenchComponent() {
    component_->IClientComponent_Terminate();
    component_.reset();
    machine_.reset();
    std::filesystem::remove_all(folder_);
  }
  CCDavIrizevez& component() { return *component_; }
  platform::Platform& platform() { return *machine_; }
  static constexpr const char* kComponentFolder =
      "C:\\Program Files\\brisal client\\Components\\DavIrizevez";

  // An example document as the client hands it over: decoded from code page 949.
  std::string Example(const std::string& name) {
    std::ifstream in(std::string(DAV_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty()) throw std::runtime_error("missing example " + name);
    return util::FromAnsi(*machine_, bytes);
  }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<platform::sim::Machine> machine_;
  std::unique_ptr<CCDavIrizevez> component_;
};

// The example system document with n more applets in its WinXP control panel form.
std::string WithApplets(std::string doc, int n) {
  std::string applets;
  for (int i = 0; i < n; ++i) {
    applets += "<CPLList ID=\"bench" + std::to_string(i) + ".cpl\" DisplayName=\"벤치 " +
               std::to_string(i) + "\" Value=\"" + (i % 2 ? "1" : "0") + "\" />\r\n";
  }
  const std::size_t at = doc.find("<Row ID=\"NoControlPanel\"");
  return doc.insert(at, applets);
}

void BM_ApplySysConfig(benchmark::State& state) {
  BenchComponent pc;
  const std::string doc = WithApplets(pc.Example("SysConfig.qsf"), state.range(0));
  for (auto _ : state) pc.component().ApplySysConfigXML(doc, "", false);
}
BENCHMARK(BM_ApplySysConfig)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyWinConfig(benchmark::State& state) {
  BenchComponent pc;
  const std::string doc = pc.Example("WinConfig.qsf");
  for (auto _ : state) pc.component().ApplyWinConfigXML(doc, "", false);
}
BENCHMARK(BM_ApplyWinConfig)->Unit(benchmark::kMillisecond)->UseRealTime();

// Producing goes through the request commands, as the client asks for a document.
void BM_ProduceSysConfig(benchmark::State& state) {
  BenchComponent pc;
  pc.component().ApplySysConfigXML(WithApplets(pc.Example("SysConfig.qsf"), state.range(0)), "",
                                   false);
  for (auto _ : state) pc.component().IClientComponent_Handle("REQ_SYSCONF", "");
}
BENCHMARK(BM_ProduceSysConfig)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProduceWinConfig(benchmark::State& state) {
  BenchComponent pc;
  pc.component().ApplyWinConfigXML(pc.Example("WinConfig.qsf"), "", false);
  for (auto _ : state) pc.component().IClientComponent_Handle("REQ_WINCONF", "");
}
BENCHMARK(BM_ProduceWinConfig)->Unit(benchmark::kMillisecond)->UseRealTime();

// A component started and stopped on a machine where both example documents were applied,
// as the client does at every start of the PC.
void BM_InitializeTerminate(benchmark::State& state) {
  BenchComponent pc;
  pc.component().ApplySysConfigXML(pc.Example("SysConfig.qsf"), "", false);
  pc.component().ApplyWinConfigXML(pc.Example("WinConfig.qsf"), "", false);
  for (auto _ : state) {
    CCDavIrizevez component(pc.platform(), BenchComponent::kComponentFolder);
    component.IClientComponent_Initialize(std::make_shared<testing::QuietHost>(), false);
    component.IClientComponent_Terminate();
  }
}
BENCHMARK(BM_InitializeTerminate)->Unit(benchmark::kMillisecond)->UseRealTime();

// The example system document whose folder access lists n paths (the whole list is one
// Value, as the editor writes it); 1,000 to 100,000 paths show that the cost grows linearly.
std::string WithPaths(std::string doc, int n) {
  std::string list;
  for (int i = 0; i < n; ++i) {
    list += (i ? "|C:\\Users\\Share\\" : "C:\\Users\\Share\\") + std::to_string(i);
  }
  const std::size_t row = doc.find("<Row ID=\"Path\"");
  const std::size_t value = doc.find("Value=\"", row) + 7;
  return doc.replace(value, doc.find('"', value) - value, list);
}

void BM_ApplyFolderAccessPaths(benchmark::State& state) {
  BenchComponent pc;
  const std::string doc = WithPaths(pc.Example("SysConfig.qsf"), state.range(0));
  for (auto _ : state) pc.component().ApplySysConfigXML(doc, "", false);
}
BENCHMARK(BM_ApplyFolderAccessPaths)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ProduceFolderAccessPaths(benchmark::State& state) {
  BenchComponent pc;
  pc.component().ApplySysConfigXML(WithPaths(pc.Example("SysConfig.qsf"), state.range(0)), "",
                                   false);
  for (auto _ : state) pc.component().IClientComponent_Handle("REQ_SYSCONF", "");
}
BENCHMARK(BM_ProduceFolderAccessPaths)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace dav::core
