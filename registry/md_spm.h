// The handle-based registry helpers with which start program entries are moved between
// keys. Buffers are 255 bytes of the ANSI form, as the stored entries were made to fit:
// a longer name or value is not read. A failing registry call only gives the failure
// result; a run-time failure inside an operation goes to the error reporter under the
// operation's name and is raised again to the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "util/log.h"

namespace dav {

class mdSPM {
 public:
  using KeyHandle = platform::KeyHandle;

  // Size of every name and data buffer, in bytes of the ANSI form.
  static constexpr std::uint32_t kBufferSize = 255;
  // Full access, the mask every key is opened and created with.
  static constexpr std::uint32_t kKeyAllAccess = 0x2003F;

  explicit mdSPM(util::Log& log) : log_(log) {}

  // Opens a key; the caller owns (and closes) the handle. 0 when it cannot be opened.
  KeyHandle GetRegHKey(KeyHandle hKey, std::string_view key);

  // Number of subkeys, or of values, of an open key; 0 on failure. The handle stays open.
  std::int32_t GetCntKey(KeyHandle hKey);
  std::int32_t GetCntValues(KeyHandle hKey);

  // The index-th subkey's name into a 255-character buffer: the name, a NUL and blanks
  // (callers take the text before the NUL); 255 blanks on failure. True when found.
  bool EnumRegKey(KeyHandle hKey, std::int32_t index, std::string& name);

  // Creates (or opens) a key below parent and hands its handle to the caller. Always closes
  // parent.
  bool CreateRegKey(KeyHandle parent, std::string_view key, KeyHandle& newKey);

  // Deletes a key below parent (not one with subkeys). Always closes parent.
  bool DeleteRegKey(KeyHandle parent, std::string_view key);

  // A string value without its terminating NUL, and the size the registry reported (which
  // counts the NUL). False for a missing key or value or one longer than 255 bytes; the out
  // value is then left as it was. The type argument is not used.
  bool GetRegValue(KeyHandle hive, std::string_view key, std::string_view name, std::int32_t type,
                   std::string& value, std::int32_t& size);

  // GetRegValue's text when it is not blank, else the default.
  std::string GetRegValueDefault(KeyHandle hive, std::string_view key, std::string_view name,
                                 std::string_view defaultValue);

  // Creates the key and writes the text's ANSI bytes with the type code. True when written.
  bool SetRegValue(KeyHandle hive, std::string_view key, std::string_view name, std::int32_t type,
                   std::string& value);

  bool DeleteRegValueName(KeyHandle hive, std::string_view key, std::string_view name);

  // The index-th value of a key: name, name length, type, data up to the first NUL and data
  // size (lengths in ANSI bytes). With index 0 count becomes the number of values first.
  // Returns 1 when found, 0 when there is no such value or it does not fit the buffers.
  std::int32_t EnumRegValues(KeyHandle hive, std::string_view key, std::int32_t index,
                             std::string& name, std::int32_t& nameLength, std::int32_t& type,
                             std::string& data, std::int32_t& dataSize, std::int32_t& count);

  // EnumRegValues on a key that the caller has open (the handle stays open), so that a
  // whole key is read without opening it again for every entry.
  std::int32_t EnumOpenRegValues(KeyHandle openKey, std::int32_t index, std::string& name,
                                 std::int32_t& nameLength, std::int32_t& type, std::string& data,
                                 std::int32_t& dataSize, std::int32_t& count);

  // True for the names of the client's own programs and services ("KVService", "qrlacc",
  // ...), which the start program manager never takes out of a Run key. Letter case does
  // not matter.
  static bool IsProtectedEntry(std::string_view name);

  // Two registry names (keys, values) are the same without regard to ASCII letter case, as
  // the registry compares them.
  static bool SameName(std::string_view a, std::string_view b);

 private:
  [[noreturn]] void Raise(const char* source);
  util::Log& log_;
};

}  // namespace dav
