#include "platform/win32/ini_files.h"

#include <cstring>
#include <string>

#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {

std::string Win32IniFiles::ReadString(std::string_view file, std::string_view section,
                                      std::string_view key, std::string_view defaultValue,
                                      std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  std::string buffer(bufferSize, '\0');
  const DWORD copied = GetPrivateProfileStringA(
      ToAnsi(section).c_str(), ToAnsi(key).c_str(), ToAnsi(defaultValue).c_str(), buffer.data(),
      static_cast<DWORD>(bufferSize), ToAnsi(file).c_str());
  // The count may take in the terminator when the text was cut; the text ends at the first
  // NUL all the same.
  const std::size_t length = strnlen(buffer.data(), copied < bufferSize ? copied : bufferSize);
  return FromAnsi(std::string_view(buffer.data(), length));
}

bool Win32IniFiles::WriteString(std::string_view file, std::string_view section,
                                std::optional<std::string_view> key,
                                std::optional<std::string_view> value) {
  const std::string ansiKey = key ? ToAnsi(*key) : std::string();
  const std::string ansiValue = value ? ToAnsi(*value) : std::string();
  return WritePrivateProfileStringA(ToAnsi(section).c_str(), key ? ansiKey.c_str() : nullptr,
                                    value ? ansiValue.c_str() : nullptr,
                                    ToAnsi(file).c_str()) != FALSE;
}

}  // namespace dav::platform::win32
