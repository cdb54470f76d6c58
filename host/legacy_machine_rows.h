// The legacy document's row values as a machine holds them, for doc new --kind legacy
// --from-machine. Each row's values are applied on a scratch machine (host/row_probe.h) to
// see which registry values they write; the row takes the value whose writes the machine
// holds. A row whose Value is free text (a folder, a kept client value) is applied with a
// marker text, and its value is read from where the marker landed. Simulated PC only.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/row_catalogue.h"
#include "host/row_probe.h"
#include "platform/platform.h"

namespace dav::host {

class LegacyMachineRows {
 public:
  // machine: the PC to read; componentKey: the component's key below HKEY_LOCAL_MACHINE
  // there, where the SysMngr Document row is kept.
  LegacyMachineRows(platform::Platform& machine, std::string componentKey);

  // The row's value on the machine; fresh, the value of a fresh PC ("" leaves the row
  // out), when the machine's registry cannot tell (then, where it holds what none of the
  // row's values writes, a warning names the row).
  std::string ValueOf(std::string_view section, const catalogue::RowSpec& row,
                      const std::string& fresh);

  // "DiskMngr / DriveSettings: ..." one line a row whose fresh value was kept for want of
  // a match.
  const std::vector<std::string>& warnings() const { return warnings_; }

 private:
  std::string FreeText(const ApplierCall& call, const catalogue::RowSpec& row,
                       const std::string& fresh);
  std::string Listed(const ApplierCall& call, const catalogue::RowSpec& row,
                     const std::string& fresh);
  std::optional<RegistryData> Read(const std::string& key, const std::string& name);
  void Warn(const ApplierCall& call, const catalogue::RowSpec& row, const std::string& fresh);

  platform::Platform& machine_;
  std::vector<ApplierCall> calls_;
  RowProbe probe_;
  std::vector<std::string> warnings_;
};

}  // namespace dav::host
