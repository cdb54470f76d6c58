// Conversion between UTF-8 and a Windows code page (949, 1252, 65001 ...). The backend
// chosen at build time provides it: iconv on the simulated PC, the code page functions of
// Windows on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dav::platform {

inline constexpr std::uint32_t kCodePageUtf8 = 65001;

// Decodes bytes of the code page into UTF-8. Bytes that do not form a character become
// U+FFFD (one for each broken UTF-8 sequence). False only when the code page itself is
// unknown; *utf8 is then empty.
bool DecodeCodePage(std::uint32_t codePage, std::string_view bytes, std::string* utf8);

// Encodes UTF-8 into the code page. A character the code page cannot hold becomes "?" (two
// for a character outside the BMP: one per UTF-16 unit) and the result is false; *bytes
// holds the whole text either way. Each broken UTF-8 sequence counts as one character that
// cannot be held.
bool EncodeCodePage(std::uint32_t codePage, std::string_view utf8, std::string* bytes);

// True when the code page is known to this build.
bool IsCodePageSupported(std::uint32_t codePage);

}  // namespace dav::platform
