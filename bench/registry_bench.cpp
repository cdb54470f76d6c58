// Registry calls of the simulated PC. Every write is one durable transaction, so
// BM_SetValue measures durable single-value writes per second. Times are wall-clock
// (UseRealTime): a write spends much of its time in the kernel, not on the CPU.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/sim/machine.h"

namespace dav::platform::sim {
namespace {

// A new machine in a temporary folder for one benchmark, removed afterwards.
class BenchMachine {
 public:
  BenchMachine() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dav-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    folder_ = pattern;
    machine_ = Machine::Create(folder_);
  }
  ~BenchMachine() {
    machine_.reset();
    std::filesystem::remove_all(folder_);
  }
  Registry& registry() { return machine_->registry(); }

  KeyHandle Key(const std::string& path) {
    KeyHandle key = kNoKey;
    if (registry().CreateKey(kHKeyCurrentUser, path, &key) != kErrorSuccess) {
      throw std::runtime_error("cannot create " + path);
    }
    return key;
  }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<Machine> machine_;
};

std::string Dword(std::uint32_t n) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &n, sizeof n);
  return data;
}

void BM_CreateKeySetValueClose(benchmark::State& state) {
  BenchMachine pc;
  std::uint32_t n = 0;
  for (auto _ : state) {
    KeyHandle key = kNoKey;
    const std::string path = "Software\\Bench\\k" + std::to_string(n % 1000);
    if (pc.registry().CreateKey(kHKeyCurrentUser, path, &key) != kErrorSuccess ||
        pc.registry().SetValue(key, "v", kRegDword, Dword(n)) != kErrorSuccess) {
      state.SkipWithError("write failed");
      break;
    }
    pc.registry().CloseKey(key);
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CreateKeySetValueClose)->UseRealTime();

void BM_SetValue(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle key = pc.Key("Software\\Bench");
  std::uint32_t n = 0;
  for (auto _ : state) {
    if (pc.registry().SetValue(key, "v" + std::to_string(n % 1000), kRegDword, Dword(n)) !=
        kErrorSuccess) {
      state.SkipWithError("write failed");
      break;
    }
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetValue)->UseRealTime();

void BM_QueryValue(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle key = pc.Key("Software\\Bench");
  pc.registry().SetValue(key, "Value", kRegSz, "C:\\Program Files\\Bench\\bench.exe");
  std::uint8_t buffer[256];
  for (auto _ : state) {
    std::uint32_t size = sizeof buffer;
    if (pc.registry().QueryValue(key, "Value", nullptr, buffer, &size) != kErrorSuccess) {
      state.SkipWithError("read failed");
      break;
    }
    benchmark::DoNotOptimize(buffer);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QueryValue)->UseRealTime();

void BM_Enumerate1000Values(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle key = pc.Key("Software\\Bench");
  for (std::uint32_t n = 0; n < 1000; ++n) {
    pc.registry().SetValue(key, "value " + std::to_string(n), kRegSz, "data");
  }
  std::string name;
  ValueType type = 0;
  std::string data;
  for (auto _ : state) {
    std::uint32_t index = 0;
    while (pc.registry().EnumValue(key, index, &name, &type, &data) == kErrorSuccess) ++index;
    if (index != 1000) {
      state.SkipWithError("wrong count");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Enumerate1000Values)->UseRealTime();

void BM_Enumerate1000Subkeys(benchmark::State& state) {
  BenchMachine pc;
  const KeyHandle key = pc.Key("Software\\Bench");
  for (std::uint32_t n = 0; n < 1000; ++n) {
    KeyHandle sub = kNoKey;
    pc.registry().CreateKey(key, "key " + std::to_string(n), &sub);
    pc.registry().CloseKey(sub);
  }
  std::string name;
  for (auto _ : state) {
    std::uint32_t index = 0;
    while (pc.registry().EnumKey(key, index, &name) == kErrorSuccess) ++index;
    if (index != 1000) {
      state.SkipWithError("wrong count");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Enumerate1000Subkeys)->UseRealTime();

}  // namespace
}  // namespace dav::platform::sim
