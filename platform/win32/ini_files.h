// Ini files through GetPrivateProfileStringA, WritePrivateProfileStringA and their section
// forms. WriteSections changes a copy of the file and moves it over the file.
#pragma once

#include "platform/ini_files.h"

namespace dav::platform::win32 {

class Win32IniFiles : public IniFiles {
 public:
  std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t bufferSize) override;
  bool WriteString(std::string_view file, std::string_view section,
                   std::optional<std::string_view> key,
                   std::optional<std::string_view> value) override;
  std::vector<IniKey> ReadSection(std::string_view file, std::string_view section) override;
  bool WriteSections(std::string_view file, const std::vector<IniSectionKeys>& sections) override;
};

}  // namespace dav::platform::win32
