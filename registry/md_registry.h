// The general registry readers and writers through which the settings go. Each operation
// opens what it needs, does one thing and closes it again. Text crosses into the registry
// in the machine's ANSI code page.
//
// Failures follow fixed rules, because callers rely on the exact fallback values: readers
// give their default (or an empty result) and writers do nothing, without a log line,
// except CreateKey and RegKeyExist (error reporter, raised again) and ReadDWORD (a log line,
// then it goes on).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "util/log.h"

namespace dav {

class mdRegistry {
 public:
  using KeyHandle = platform::KeyHandle;

  explicit mdRegistry(util::Log& log) : log_(log) {}

  // The hive handle of a full registry path's hive name ("HKEY_LOCAL_MACHINE" ...), compared
  // exactly; nullopt for any other name, also "HKLM".
  static std::optional<KeyHandle> HiveOfName(std::string_view name);

  // A REG_DWORD value, or the default for a missing key or value, another type, or a
  // failed read.
  std::int32_t ReadDWORD(KeyHandle hive, std::string_view key, std::string_view name,
                         std::int32_t defaultValue);

  // A REG_SZ value up to its first NUL. The default for a missing key or value; the empty
  // text for a value of another type.
  std::string ReadString(KeyHandle hive, std::string_view key, std::string_view name,
                         std::string_view defaultValue);

  // A REG_BINARY value's bytes (a value of size 0 gives one byte 0); nullopt when the key
  // or value is missing, the type differs or the read fails.
  std::optional<std::vector<std::uint8_t>> ReadBinary(KeyHandle hive, std::string_view key,
                                                      std::string_view name);

  void WriteDWORD(KeyHandle hive, std::string_view key, std::string_view name, std::int32_t value);
  void WriteBinary(KeyHandle hive, std::string_view key, std::string_view name,
                   const std::vector<std::uint8_t>& bytes);

  // Creates a key and its missing parents.
  void CreateKey(KeyHandle hive, std::string_view key);

  // Deletes the one subkey of the parent (not when it has subkeys of its own).
  void DeleteKey(KeyHandle hive, std::string_view parentKey, std::string_view subKey);

  // Deletes a key path directly under the hive; the result is not looked at.
  void RemoveKey(KeyHandle hive, std::string_view key);

  // Deletes a value; a missing key or value is no error.
  void DeleteValue(KeyHandle hive, std::string_view key, std::string_view name);

  // A value of a full path as text: strings up to the first NUL (a REG_MULTI_SZ gives its
  // first string), a REG_DWORD in decimal, a REG_BINARY's first two bytes as a signed
  // 16-bit number; the default for an unknown hive, a missing key or value or another type.
  std::string ReadValue(std::string_view fullPath, std::string_view name,
                        std::string_view defaultValue);

  // Writes a value of a full path: type 1 as REG_SZ, type 4 as REG_DWORD of the text's
  // number. Other types, or an unknown hive, write nothing.
  void WriteValue(std::string_view fullPath, std::string_view name, std::string_view value,
                  std::int32_t type);

  // True when the key of a full path can be opened. An unknown hive name is reported to the
  // error reporter under "mdRegistry.RegKeyExist".
  bool RegKeyExist(std::string_view fullPath);

 private:
  util::Log& log_;
};

}  // namespace dav
