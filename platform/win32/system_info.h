// Facts about the running Windows from kernel32 and advapi32.
#pragma once

#include "platform/system_info.h"

namespace dav::platform::win32 {

class Win32SystemInfo : public SystemInfo {
 public:
  OsVersion Version() override;
  std::uint32_t AnsiCodePage() override;
  std::string SystemDirectory() override;
  std::string UserName() override;
  LocaleFormats Locale() override;
};

}  // namespace dav::platform::win32
