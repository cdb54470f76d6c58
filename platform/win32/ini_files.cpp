#include "platform/win32/ini_files.h"

#include <algorithm>
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

std::vector<IniKey> Win32IniFiles::ReadSection(std::string_view file, std::string_view section) {
  std::vector<IniKey> keys;
  const std::string ansiSection = ToAnsi(section);
  const std::string ansiFile = ToAnsi(file);
  // The call reports size - 2 when the section did not fit; try again with more room.
  std::string buffer(65536, '\0');
  DWORD copied = 0;
  while (true) {
    copied = GetPrivateProfileSectionA(ansiSection.c_str(), buffer.data(),
                                       static_cast<DWORD>(buffer.size()), ansiFile.c_str());
    if (copied + 2 < buffer.size()) break;
    buffer.assign(buffer.size() * 2, '\0');
  }
  std::string_view entries(buffer.data(), copied);
  while (!entries.empty()) {
    const std::string_view entry = entries.substr(0, entries.find('\0'));
    entries.remove_prefix(std::min(entries.size(), entry.size() + 1));
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) continue;
    auto trim = [](std::string_view text) {
      const std::size_t first = text.find_first_not_of(" \t");
      if (first == std::string_view::npos) return std::string_view();
      return text.substr(first, text.find_last_not_of(" \t") - first + 1);
    };
    std::string_view value = trim(entry.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    keys.push_back({FromAnsi(trim(entry.substr(0, equals))), FromAnsi(value)});
  }
  return keys;
}

bool Win32IniFiles::WriteSections(std::string_view file,
                                  const std::vector<IniSectionKeys>& sections) {
  // The profile calls place a bare name in the Windows folder; the copy and the move must
  // find the same file.
  std::string target = ToAnsi(file);
  if (target.find_first_of("\\/:") == std::string::npos) {
    char folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    target = std::string(folder, length) + "\\" + target;
  }
  const std::string copy = target + ".dav-new";
  if (!CopyFileA(target.c_str(), copy.c_str(), FALSE)) {
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    DeleteFileA(copy.c_str());
  }
  SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
  bool ok = true;
  for (const IniSectionKeys& section : sections) {
    const std::string name = ToAnsi(section.name);
    if (section.keys.empty()) {
      ok = ok && WritePrivateProfileStringA(name.c_str(), nullptr, nullptr, copy.c_str()) != FALSE;
      continue;
    }
    std::string lines;
    for (const IniKey& key : section.keys) {
      lines += ToAnsi(key.name) + "=" + ToAnsi(key.value);
      lines += '\0';
    }
    lines += '\0';
    ok = ok && WritePrivateProfileSectionA(name.c_str(), lines.data(), copy.c_str()) != FALSE;
  }
  // Flushes the profile cache, so the copy holds every change before it moves.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy.c_str());
  ok = ok && MoveFileExA(copy.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!ok) DeleteFileA(copy.c_str());
  return ok;
}

}  // namespace dav::platform::win32
