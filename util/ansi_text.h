// Text to and from the machine's ANSI code page, for what is stored in it (log lines, ini
// files, registry string data).
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace dav::util {

// True when every byte is ASCII, which every code page holds as the same bytes: such text
// needs no conversion.
bool IsAscii(std::string_view text);

// UTF-8 to the machine's ANSI bytes; a character the code page cannot hold becomes "?".
std::string ToAnsi(platform::Platform& platform, std::string_view utf8);

// The machine's ANSI bytes to UTF-8.
std::string FromAnsi(platform::Platform& platform, std::string_view bytes);

// Length in bytes of the ANSI form of a UTF-8 text (a Korean syllable counts two in 949).
std::size_t AnsiLength(platform::Platform& platform, std::string_view utf8);

}  // namespace dav::util
