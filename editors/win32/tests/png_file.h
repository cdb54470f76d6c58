// A PNG file of 24-bit pixels, written without compression (stored deflate blocks), for
// the screenshots of the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dav::editors::win32::testing {

// rgb holds width * height pixels, row by row from the top, 3 bytes each. False when the
// file could not be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace dav::editors::win32::testing
