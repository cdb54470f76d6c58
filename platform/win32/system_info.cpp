#include "platform/win32/system_info.h"

#include <string>

#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {
namespace {

// One of the user's regional pictures (GetLocaleInfoA), empty when Windows has none.
std::string LocaleText(LCTYPE type) {
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
  if (length <= 0) return {};
  std::string buffer(static_cast<std::size_t>(length), '\0');
  const int copied = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer.data(), length);
  if (copied <= 0) return {};
  buffer.resize(static_cast<std::size_t>(copied) - 1);  // without the terminator
  return FromAnsi(buffer);
}

}  // namespace

OsVersion Win32SystemInfo::Version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  OsVersion version;
  if (!GetVersionExA(&info)) return version;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  version.build = info.dwBuildNumber;
  version.platformId = info.dwPlatformId;
  version.servicePack = FromAnsi(info.szCSDVersion);
  return version;
}

std::uint32_t Win32SystemInfo::AnsiCodePage() {
  return GetACP();
}

std::string Win32SystemInfo::SystemDirectory() {
  char buffer[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return FromAnsi(std::string_view(buffer, length));
}

std::string Win32SystemInfo::UserName() {
  char buffer[257] = {};  // UNLEN + 1
  DWORD size = sizeof buffer;
  if (!GetUserNameA(buffer, &size)) return {};
  return FromAnsi(buffer);
}

LocaleFormats Win32SystemInfo::Locale() {
  LocaleFormats formats;
  formats.shortDate = LocaleText(LOCALE_SSHORTDATE);
  formats.time = LocaleText(LOCALE_STIMEFORMAT);
  formats.amDesignator = LocaleText(LOCALE_S1159);
  formats.pmDesignator = LocaleText(LOCALE_S2359);
  return formats;
}

}  // namespace dav::platform::win32
