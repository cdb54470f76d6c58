// One simulated PC for the life of a fuzzing process: its registry in memory, its drives in
// a temporary folder (under /dev/shm when there is one, so that files live in memory too),
// removed when the process ends normally. Targets that change the PC call Keep once it is
// set up and Reset before each input, so that every input starts from the same PC.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/sim/machine.h"

namespace dav::fuzz {

class ScratchMachine {
 public:
  static platform::sim::Machine& Get() { return *Instance().machine_; }

  // Remembers the PC as it is now; Reset puts it back. From then on the PC's files change only
  // through the machine, which may remember what it looked up, as davhost lets it while the
  // component runs.
  static void Keep() {
    Instance().machine_->KeepState();
    Instance().machine_->files().SetSoleWriter(true);
    Instance().kept_ = true;
  }
  static void Reset() {
    if (Instance().kept_) Instance().machine_->RestoreState();
  }

 private:
  static ScratchMachine& Instance() {
    static ScratchMachine scratch;
    return scratch;
  }

  ScratchMachine() {
    const std::filesystem::path memory = "/dev/shm";
    std::error_code error;
    const bool inMemory =
        std::filesystem::is_directory(memory, error) && ::access(memory.c_str(), W_OK) == 0;
    const std::filesystem::path base = inMemory ? memory : std::filesystem::temp_directory_path();
    std::string pattern = (base / "dav-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) abort();
    folder_ = pattern;
    machine_ = platform::sim::Machine::CreateInMemory(folder_);
  }
  ~ScratchMachine() {
    machine_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::filesystem::path folder_;
  std::unique_ptr<platform::sim::Machine> machine_;
  bool kept_ = false;
};

}  // namespace dav::fuzz
