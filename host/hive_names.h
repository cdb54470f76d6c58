// Registry key paths as a person writes them: a hive name (long or short form, any case)
// and a key path below it, "HKLM\Software\T" or "HKEY_LOCAL_MACHINE\Software\T".
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"

namespace dav::host {

struct KeyPath {
  platform::KeyHandle hive = platform::kNoKey;
  std::string subKey;  // below the hive, "\"-separated; empty for the hive itself

  // "HKEY_LOCAL_MACHINE\Software\T" (the hive's long name).
  std::string Full() const;
};

// The long name of a predefined hive ("HKEY_CURRENT_USER"); empty for another handle.
std::string_view HiveName(platform::KeyHandle hive);

// True when two registry names are the same as the registry compares them: ASCII letters
// without regard to case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Parses a key path. Accepts HKEY_CLASSES_ROOT/HKCR, HKEY_CURRENT_USER/HKCU,
// HKEY_LOCAL_MACHINE/HKLM, HKEY_USERS/HKU and HKEY_PERFORMANCE_DATA in any letter case; one
// trailing "\" is ignored. An unknown hive or an empty key name ("a\\b") is refused with a
// message in *error.
bool ParseKeyPath(std::string_view text, KeyPath* path, std::string* error);

}  // namespace dav::host
