// Which row of a window or system document writes which registry value, and what the value
// then holds for each value the row's catalogue lists. Found by applying every catalogued
// row, at each listed value, on a fresh scratch machine and noting what each row wrote, so
// that it holds for exactly what the appliers do (host/row_probe.h). Simulated PC only.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/change_recorder.h"

namespace dav::host {

struct PolicyRow {
  std::string section;  // "UsedAccess", "StartMenu/WinXP"
  std::string id;       // "CmdPrompt"
  // A listed value's meaning and what the registry value held after the row applied it
  // (string data decoded to UTF-8 as host/value_encoding.h does; nullopt: deleted).
  std::vector<std::pair<std::string, std::optional<RegistryData>>> states;
};

class PolicyRows {
 public:
  // Applies the rows on a scratch machine of its own.
  static PolicyRows Probe();

  // The row that writes the value ("HKEY_CURRENT_USER\Software\...", "DisableCMD"); null for
  // a value no row writes.
  const PolicyRow* Find(std::string_view key, std::string_view name) const;

 private:
  std::map<std::string, PolicyRow> rows_;  // by the lower-case key and name
};

// "UsedAccess / CmdPrompt: blocked": the row, and the meaning of the listed value that leaves
// the registry value as now holds it (nullopt: absent), when one does.
std::string DescribeRow(const PolicyRow& row, const std::optional<RegistryData>& now);

}  // namespace dav::host
