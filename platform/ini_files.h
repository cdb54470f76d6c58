// Ini files with the behaviour of the profile-string calls. Files are Windows paths of
// the machine (a bare name such as "rel.ini" is a file in the Windows folder) and are
// stored in the machine's ANSI code page; the texts here are UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dav::platform {

// One key line of a section: the key and its value, UTF-8.
struct IniKey {
  std::string name;
  std::string value;
};

// A whole section as WriteSections stores it.
struct IniSectionKeys {
  std::string name;
  std::vector<IniKey> keys;
};

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

  // GetPrivateProfileSectionA: the key lines of the first section of that name, in file
  // order, each name and value as ReadString reads them (no blanks around them, a value
  // without one pair of enclosing quotes) and never cut. A missing file or section gives
  // none. One read of the file, however many keys it holds.
  virtual std::vector<IniKey> ReadSection(std::string_view file, std::string_view section) = 0;

  // WritePrivateProfileSectionA for each section in turn, all in one step: a reader (or a
  // process that dies during the call) sees the whole file as it was before or as it is
  // after, never a part of the change. Each section given then holds exactly its keys, in
  // that order (one given without keys is removed); a missing section is added at the end;
  // the other sections stay as they are. Creates the file when needed. True on success;
  // on a failure the file is left as it was.
  virtual bool WriteSections(std::string_view file,
                             const std::vector<IniSectionKeys>& sections) = 0;
};

}  // namespace dav::platform
