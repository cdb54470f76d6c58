// Text at the boundary of the Windows API: the interfaces carry UTF-8, the ANSI calls take
// and give bytes of the ANSI code page (GetACP), and the wide calls take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace dav::platform::win32 {

// UTF-8 to the ANSI code page, as an ANSI call sees it. A character that the code page
// cannot hold becomes "?".
std::string ToAnsi(std::string_view utf8);

// Bytes of the ANSI code page to UTF-8.
std::string FromAnsi(std::string_view ansi);

std::wstring ToWide(std::string_view utf8);
std::string FromWide(std::wstring_view wide);

}  // namespace dav::platform::win32
