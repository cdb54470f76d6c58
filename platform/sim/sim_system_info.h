// GetVersionExA, GetACP and the other system facts of the simulated PC, read from the
// machine settings at every call.
#pragma once

#include "platform/sim/machine_store.h"
#include "platform/system_info.h"

namespace dav::platform::sim {

class SimSystemInfo : public SystemInfo {
 public:
  explicit SimSystemInfo(MachineStore& store) : store_(store) {}

  OsVersion Version() override;
  std::uint32_t AnsiCodePage() override;
  std::string SystemDirectory() override;
  std::string UserName() override;
  LocaleFormats Locale() override;

 private:
  MachineStore& store_;
};

}  // namespace dav::platform::sim
