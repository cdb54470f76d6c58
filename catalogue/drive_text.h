// Drives as the documents write them. A drive mask is a 32-bit number with bit n for drive
// letter n (A: is bit 0, Z: bit 25); its drive text has one character per drive from A: to
// Z:, "1" where the bit is set: "00100000000000000000000000" is drive C: alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dav::catalogue {

inline constexpr std::size_t kDriveCount = 26;

// The 26-character text of a mask; bits above Z: are not shown.
std::string DriveText(std::uint32_t mask);

// The mask of a drive text: the sum of each of the first 26 characters, read as a digit,
// times 2 to the power of its position (so "2" counts as twice the drive's bit, as stored
// documents were read). A text shorter than 26 characters, or with a character other than
// a digit among them, raises run-time error 13.
std::int32_t DriveMask(std::string_view text);

}  // namespace dav::catalogue
