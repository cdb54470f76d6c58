// The Windows registry as the ANSI advapi32 calls present it.
//
// Key handles are 32-bit numbers: 0 means "no key"; the predefined hives 0x80000000 ..
// 0x80000004 are accepted wherever a handle is and never need closing. Other handles come
// from OpenKey/CreateKey and are closed with CloseKey. HKEY_PERFORMANCE_DATA is no tree of
// keys: opening a subkey of it, creating, deleting, enumerating or writing there gives
// kErrorInvalidHandle.
//
// Key and value names are UTF-8 and compare without regard to letter case (case is kept
// as first written). They cross the ANSI calls in the machine's code page, so a character
// that the code page cannot hold is stored as "?". Value data are the bytes the ANSI calls
// exchange: string types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) hold text in the machine's
// ANSI code page. Every call is atomic: it happens completely or not at all, also if the
// process dies.
//
// A subKey path may not start with "\" (kErrorBadPathname); runs of "\" between levels
// count as one and a trailing "\" is ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace dav::platform {

using KeyHandle = std::uint32_t;

inline constexpr KeyHandle kNoKey = 0;
inline constexpr KeyHandle kHKeyClassesRoot = 0x80000000u;
inline constexpr KeyHandle kHKeyCurrentUser = 0x80000001u;
inline constexpr KeyHandle kHKeyLocalMachine = 0x80000002u;
inline constexpr KeyHandle kHKeyUsers = 0x80000003u;
inline constexpr KeyHandle kHKeyPerformanceData = 0x80000004u;

inline constexpr bool IsPredefinedKey(KeyHandle key) {
  return key >= kHKeyClassesRoot && key <= kHKeyPerformanceData;
}

using ValueType = std::uint32_t;

inline constexpr ValueType kRegNone = 0;
inline constexpr ValueType kRegSz = 1;
inline constexpr ValueType kRegExpandSz = 2;
inline constexpr ValueType kRegBinary = 3;
inline constexpr ValueType kRegDword = 4;
inline constexpr ValueType kRegMultiSz = 7;

inline constexpr bool IsStringType(ValueType type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// What RegQueryInfoKeyA reports of a key. Windows measures what it stores, not the ANSI
// form: maxSubKeyLen and maxValueNameLen count characters (UTF-16 units, without a
// terminating NUL), and maxValueLen counts bytes as stored, UTF-16 for the string types (a
// REG_EXPAND_SZ "%PATH%" with its NUL is 14, though QueryValue hands back 7 ANSI bytes).
struct KeyInfo {
  std::uint32_t subKeys = 0;
  std::uint32_t maxSubKeyLen = 0;
  std::uint32_t values = 0;
  std::uint32_t maxValueNameLen = 0;
  std::uint32_t maxValueLen = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyExA with full access. An empty subKey opens a new handle to parent itself.
  // A missing key gives kErrorFileNotFound.
  virtual Status OpenKey(KeyHandle parent, std::string_view subKey, KeyHandle* result) = 0;

  // RegCreateKeyExA (non-volatile, full access): opens the key when it exists, otherwise
  // creates it and every missing key on the way. *created tells which, when given.
  virtual Status CreateKey(KeyHandle parent, std::string_view subKey, KeyHandle* result,
                           bool* created = nullptr) = 0;

  // RegCloseKey. Closing a predefined hive succeeds and does nothing.
  virtual Status CloseKey(KeyHandle key) = 0;

  // RegDeleteKeyA: deletes the key subKey below parent with its values. A key that still
  // has subkeys is not deleted (kErrorAccessDenied), as on the NT family.
  virtual Status DeleteKey(KeyHandle parent, std::string_view subKey) = 0;

  // RegSetValueExA. The empty name is the key's default value. Non-empty string data that
  // do not end in a NUL are stored with one appended, as Windows does for a C string whose
  // length was given without its terminator; empty string data stay zero bytes long.
  virtual Status SetValue(KeyHandle key, std::string_view name, ValueType type,
                          std::string_view data) = 0;

  // RegQueryValueExA. Any of type, data and size may be null. With data null the call only
  // reports type and size (in bytes). With a buffer of *size bytes that is too small it
  // returns kErrorMoreData and sets *size to the size needed. A missing value gives
  // kErrorFileNotFound.
  virtual Status QueryValue(KeyHandle key, std::string_view name, ValueType* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;

  // RegDeleteValueA. A missing value gives kErrorFileNotFound.
  virtual Status DeleteValue(KeyHandle key, std::string_view name) = 0;

  // RegEnumKeyExA without a buffer limit: the name of the index-th subkey in the order
  // Windows lists them (sorted without regard to case). Past the end: kErrorNoMoreItems.
  virtual Status EnumKey(KeyHandle key, std::uint32_t index, std::string* name) = 0;

  // RegEnumValueA without buffer limits: name, type and data bytes of the index-th value in
  // the order the values were created. Past the end: kErrorNoMoreItems.
  virtual Status EnumValue(KeyHandle key, std::uint32_t index, std::string* name,
                           ValueType* type, std::string* data) = 0;

  // RegQueryInfoKeyA.
  virtual Status QueryInfoKey(KeyHandle key, KeyInfo* info) = 0;
};

}  // namespace dav::platform
