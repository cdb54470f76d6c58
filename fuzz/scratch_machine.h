// One simulated PC for the life of a fuzzing process, created on first use in a temporary
// folder and removed when the process ends normally.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/sim/machine.h"

namespace dav::fuzz {

class ScratchMachine {
 public:
  static platform::sim::Machine& Get() {
    static ScratchMachine scratch;
    return *scratch.machine_;
  }

 private:
  ScratchMachine() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dav-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) abort();
    folder_ = pattern;
    machine_ = platform::sim::Machine::Create(folder_);
  }
  ~ScratchMachine() {
    machine_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::filesystem::path folder_;
  std::unique_ptr<platform::sim::Machine> machine_;
};

}  // namespace dav::fuzz
