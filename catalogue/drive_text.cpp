#include "catalogue/drive_text.h"

#include "util/run_time_error.h"

namespace dav::catalogue {

std::string DriveText(std::uint32_t mask) {
  std::string text;
  text.reserve(kDriveCount);
  for (std::size_t n = 0; n < kDriveCount; ++n) text += (mask >> n) & 1u ? '1' : '0';
  return text;
}

std::int32_t DriveMask(std::string_view text) {
  // At most 9 * (2^26 - 1), well inside 32 bits.
  std::int32_t mask = 0;
  for (std::size_t n = 0; n < kDriveCount; ++n) {
    if (n >= text.size() || text[n] < '0' || text[n] > '9') {
      throw util::RunTimeError(util::kErrTypeMismatch);
    }
    mask += (text[n] - '0') * (std::int32_t{1} << n);
  }
  return mask;
}

}  // namespace dav::catalogue
