// Small helpers every part of the component uses: flags and texts, special folders, the
// Windows family test, a wait that keeps messages flowing, and the ini file helpers.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "util/log.h"

namespace dav::modMain {

// "1" when the text is exactly "1", else "0".
std::string NormalizeFlag(std::string_view text);

// The part of a text before its first character 0, or the whole text.
std::string Strz2Str(std::string_view text);

// Escapes a text for an attribute value: "&" first, then the double quote, "<" and ">".
// A failure goes to the error reporter under "modMain.XMLValueReplace".
std::string XMLValueReplace(util::Log& log, std::string_view text);

// The path of a special folder by CSIDL number; empty for an unknown or virtual folder. A
// failure is logged as "[err: mdMain.GetSpecialFolderPath] " number TAB description.
std::string GetSpecialFolderPath(util::Log& log, int csidl);

// True on the NT family. A failure goes to the error reporter under "mdMain.UF_IsWinNT"
// and is raised again.
bool UF_IsWinNT(util::Log& log);

// Keeps pending messages running until the given number of seconds has passed (also when
// midnight falls inside the wait).
void WaitSeconds(platform::Clock& clock, float seconds);

// WritePrivateProfileStringA with these arguments; true when it succeeded.
bool WriteIniString(platform::Platform& platform, std::string_view file, std::string_view section,
                    std::string_view key, std::string_view value);

// GetPrivateProfileStringA into a buffer of 500 characters.
std::string ReadIniString(platform::Platform& platform, std::string_view file,
                          std::string_view section, std::string_view key,
                          std::string_view defaultValue);

}  // namespace dav::modMain
