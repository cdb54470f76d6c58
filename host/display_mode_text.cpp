#include "host/display_mode_text.h"

#include <charconv>
#include <limits>

namespace dav::host {
namespace {

// Reads the digits up to the separator (or to the end when separator is 0) and moves on. The
// separator 'x' is found in either case.
bool ReadNumber(std::string_view& text, char separator, std::int64_t largest, std::int64_t* value) {
  const std::size_t end = separator == 0     ? text.size()
                          : separator == 'x' ? text.find_first_of("xX")
                                             : text.find(separator);
  if (end == std::string_view::npos || end == 0) return false;
  const std::string_view digits = text.substr(0, end);
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  const auto [rest, error] = std::from_chars(digits.data(), digits.data() + digits.size(), *value);
  if (error != std::errc() || *value > largest) return false;
  text.remove_prefix(separator == 0 ? end : end + 1);
  return true;
}

}  // namespace

bool ParseDisplayMode(std::string_view text, DisplayModeText* mode) {
  constexpr std::int64_t kInt32 = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kInt16 = std::numeric_limits<std::int16_t>::max();
  std::int64_t width = 0, height = 0, bits = 0, refresh = 0;
  if (!ReadNumber(text, 'x', kInt32, &width) || !ReadNumber(text, 'x', kInt32, &height) ||
      !ReadNumber(text, '@', kInt16, &bits) || !ReadNumber(text, 0, kInt32, &refresh)) {
    return false;
  }
  if (width == 0 || height == 0 || bits == 0) return false;
  *mode = {static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
           static_cast<std::int16_t>(bits), static_cast<std::int32_t>(refresh)};
  return true;
}

std::string FormatDisplayMode(const DisplayModeText& mode) {
  return std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" +
         std::to_string(mode.bits) + "@" + std::to_string(mode.refresh);
}

}  // namespace dav::host
