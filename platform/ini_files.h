// Ini files with the behaviour of the profile-string calls. Files are Windows paths of
// the machine (a bare name such as "rel.ini" is a file in the Windows folder) and are
// stored in the machine's ANSI code page; the texts here are UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dav::platform {

class IniFiles {
 public:
  virtual ~IniFiles() = default;

  // GetPrivateProfileStringA with a buffer of bufferSize bytes. Section and key compare
  // without regard to case; a missing file, section or key gives the default. The result
  // is cut to bufferSize - 1 bytes of its ANSI form (never inside a character).
  virtual std::string ReadString(std::string_view file, std::string_view section,
                                 std::string_view key, std::string_view defaultValue,
                                 std::size_t bufferSize) = 0;

  // WritePrivateProfileStringA. A missing key (nullopt) deletes the whole section; a
  // missing value deletes the key. Creates the file when needed. True on success.
  virtual bool WriteString(std::string_view file, std::string_view section,
                           std::optional<std::string_view> key,
                           std::optional<std::string_view> value) = 0;
};

}  // namespace dav::platform
