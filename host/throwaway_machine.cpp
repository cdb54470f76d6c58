#include "host/throwaway_machine.h"

#include <stdlib.h>

#include <system_error>

#include "host/command_error.h"
#include "platform/platform.h"
#include "platform/sim/machine_snapshots.h"

namespace dav::host {

namespace fs = std::filesystem;

ThrowawayMachine::ThrowawayMachine(const fs::path* copyOf, const std::string& purpose) {
  std::string pattern = (fs::temp_directory_path() / ("davhost-" + purpose + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw CommandError("cannot make a folder for the machine");
  path_ = fs::path(pattern) / "machine";
  try {
    if (copyOf != nullptr) {
      platform::sim::CopyMachineAsStored(*copyOf, path_);
    } else if (std::error_code error; !fs::create_directory(path_, error)) {
      throw CommandError("cannot make " + path_.string() + ": " + error.message());
    }
  } catch (const platform::PlatformError& e) {
    Remove();
    throw CommandError(std::string("cannot copy the machine: ") + e.what());
  } catch (...) {
    Remove();
    throw;
  }
}

ThrowawayMachine::~ThrowawayMachine() {
  Remove();
}

void ThrowawayMachine::Remove() {
  std::error_code ignored;
  fs::remove_all(path_.parent_path(), ignored);
}

}  // namespace dav::host
