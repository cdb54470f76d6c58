// Facts about the running Windows: version, code page, folders, user and the regional
// formats that dates are shown in.
#pragma once

#include <cstdint>
#include <string>

namespace dav::platform {

inline constexpr std::uint32_t kPlatformWin32Windows = 1;  // the Windows 95 family
inline constexpr std::uint32_t kPlatformWin32NT = 2;       // the NT family

struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platformId = 0;
  std::string servicePack;  // szCSDVersion
};

// The user's regional formats, in the pictures of GetLocaleInfo (LOCALE_SSHORTDATE,
// LOCALE_STIMEFORMAT, LOCALE_S1159, LOCALE_S2359), for example "yyyy-MM-dd",
// "tt h:mm:ss", "오전", "오후".
struct LocaleFormats {
  std::string shortDate;
  std::string time;
  std::string amDesignator;
  std::string pmDesignator;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  // GetVersionExA.
  virtual OsVersion Version() = 0;

  // GetACP: the ANSI code page (949 on a Korean machine).
  virtual std::uint32_t AnsiCodePage() = 0;

  // GetSystemDirectoryA, for example "C:\WINDOWS\system32".
  virtual std::string SystemDirectory() = 0;

  // GetUserNameA.
  virtual std::string UserName() = 0;

  virtual LocaleFormats Locale() = 0;
};

}  // namespace dav::platform
