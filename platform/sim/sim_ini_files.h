// Ini files of the simulated PC with the behaviour of GetPrivateProfileStringA and
// WritePrivateProfileStringA, read and written through the machine's file system. A file
// given as a bare name ("rel.ini") lies in the machine's Windows folder, as the profile
// calls place it. The file is stored in the machine's ANSI code page (or in UTF-8 when it
// starts with a UTF-8 byte order mark) and read again on every call, since another process
// may change it.
//
// A write rewrites the whole file atomically and changes only the lines it must: other
// lines, comments and blank lines stay byte for byte. Where the calls differ from a
// minimal reading of them, the comments in the .cpp say why.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/ini_files.h"

namespace dav::platform::sim {

class SimIniFiles : public IniFiles {
 public:
  // codePage gives the machine's ANSI code page and windowsFolder its Windows folder
  // ("C:\WINDOWS"; empty when it has none) at the time of each call.
  SimIniFiles(FileSystem& files, std::function<std::uint32_t()> codePage,
              std::function<std::string()> windowsFolder);

  std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t bufferSize) override;

  bool WriteString(std::string_view file, std::string_view section,
                   std::optional<std::string_view> key,
                   std::optional<std::string_view> value) override;

  std::vector<IniKey> ReadSection(std::string_view file, std::string_view section) override;

  bool WriteSections(std::string_view file, const std::vector<IniSectionKeys>& sections) override;

 private:
  // The path of the file the calls name: a bare name in the Windows folder, any other path
  // as it is.
  std::string FilePath(std::string_view file) const;

  FileSystem& files_;
  std::function<std::uint32_t()> codePage_;
  std::function<std::string()> windowsFolder_;
};

}  // namespace dav::platform::sim
