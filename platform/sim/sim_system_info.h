// GetVersionExA, GetACP and the other system facts of the simulated PC, read from the
// machine settings at every call; but the ANSI code page, which every registry call needs,
// is read once and kept, as Windows fixes it when it starts (a change takes effect in
// processes started after it, or here after ForgetCodePage).
#pragma once

#include <cstdint>
#include <optional>

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

  // The code page is read again at the next call (after the setting changed).
  void ForgetCodePage() { codePage_.reset(); }

 private:
  MachineStore& store_;
  std::optional<std::uint32_t> codePage_;
};

}  // namespace dav::platform::sim
