// A display mode as davhost writes and reads it: "WIDTHxHEIGHTxBITS@HZ", for example
// "1024x768x32@60".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dav::host {

struct DisplayModeText {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int16_t bits = 0;
  std::int32_t refresh = 0;  // 0 (or 1): the adapter's default rate

  bool operator==(const DisplayModeText&) const = default;
};

// False for anything but four decimal numbers in that form; width, height and bits must
// not be 0, and each must fit its type.
bool ParseDisplayMode(std::string_view text, DisplayModeText* mode);

std::string FormatDisplayMode(const DisplayModeText& mode);

}  // namespace dav::host
