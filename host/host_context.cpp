#include "host/host_context.h"

#include "host/command_error.h"
#include "host/exit_codes.h"
#include "host/host_files.h"
#include "platform/open_platform.h"

#if DAV_PLATFORM_SIM
#include "platform/sim/machine.h"
#include "platform/sim/machine_snapshots.h"
#endif

namespace dav::host {

void HostContext::ReportExit(int code) {
  exitCode = WorseExit(exitCode, code);
}

platform::Platform& HostContext::platform() {
  if (platform_) return *platform_;
  const std::filesystem::path folder = HostPath(machineFolder);
#if DAV_PLATFORM_SIM
  try {
    platform::sim::FinishInterruptedRestore(folder);
  } catch (const platform::PlatformError& e) {
    throw CommandError(e.what());
  }
  // The machine's database is opened once; only a failure looks further for the reason.
  std::string failure;
  try {
    platform_ = platform::sim::Machine::OpenIfExists(folder);
  } catch (const platform::PlatformError& e) {
    failure = e.what();
  }
  if (!platform_) {
    if (const std::string damage = platform::sim::Machine::DamageOf(folder); !damage.empty()) {
      throw CommandError("the machine in '" + machineFolder + "' is damaged: " + damage);
    }
    if (!failure.empty()) {
      throw CommandError("cannot open the machine in '" + machineFolder + "': " + failure);
    }
    throw CommandError("no machine in '" + machineFolder +
                       "' (create one with: davhost --machine " + machineFolder + " machine init)");
  }
#else
  try {
    platform_ = platform::OpenPlatform(folder, false);
  } catch (const platform::PlatformError& e) {
    throw CommandError("cannot open the machine in '" + machineFolder + "': " + e.what());
  }
#endif
  if (!platform_) throw CommandError("cannot open the machine in '" + machineFolder + "'");
#if DAV_PLATFORM_SIM
  const auto* machine = dynamic_cast<const platform::sim::Machine*>(platform_.get());
  readOnly_ = machine != nullptr && machine->IsReadOnly();
#endif
  return *platform_;
}

void HostContext::RequireWritable() {
  platform();
  if (readOnly_) {
    throw CommandError("the machine in '" + machineFolder +
                       "' is read-only: davhost cannot change it");
  }
}

}  // namespace dav::host
