// The contents of a registry text file (the "Windows Registry Editor Version 5.00" form),
// independent of any registry: key sections with their values, in file order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace dav::host {

inline constexpr std::string_view kRegFileHeader = "Windows Registry Editor Version 5.00";
// The older form's header: ANSI text in the machine's code page.
inline constexpr std::string_view kRegFile4Header = "REGEDIT4";

struct RegValue {
  std::string name;     // empty for the key's default value ("@")
  bool remove = false;  // "name"=- : delete the value
  platform::ValueType type = platform::kRegNone;
  // String types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ): the text in UTF-8, laid out as the
  // registry stores it, NUL terminators and separators included ("a\0b\0\0"). Every other
  // type: the data bytes.
  std::string data;
  int line = 0;  // where the value starts in a parsed file
};

struct RegKeySection {
  // The full key path with the hive's long name: "HKEY_CURRENT_USER\Software\T".
  std::string path;
  bool remove = false;  // [-KEY] : delete the key and everything below it
  std::vector<RegValue> values;
  int line = 0;  // the line of "[...]" in a parsed file
};

}  // namespace dav::host
