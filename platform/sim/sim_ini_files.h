// Ini files of the simulated PC with the behaviour of GetPrivateProfileStringA and
// WritePrivateProfileStringA, read and written through the machine's file system. The file
// is stored in the machine's ANSI code page (or in UTF-8 when it starts with a UTF-8 byte
// order mark) and read again on every call, since another process may change it.
//
// A write rewrites the whole file atomically and changes only the lines it must: other
// lines, comments and blank lines stay byte for byte. Where the calls differ from a
// minimal reading of them, the comments in the .cpp say why.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/file_system.h"
#include "platform/ini_files.h"

namespace dav::platform::sim {

class SimIniFiles : public IniFiles {
 public:
  // codePage gives the machine's ANSI code page at the time of each call.
  SimIniFiles(FileSystem& files, std::function<std::uint32_t()> codePage);

  std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t bufferSize) override;

  bool WriteString(std::string_view file, std::string_view section,
                   std::optional<std::string_view> key,
                   std::optional<std::string_view> value) override;

 private:
  FileSystem& files_;
  std::function<std::uint32_t()> codePage_;
};

}  // namespace dav::platform::sim
