#include "display/cls_resolution.h"

#include <algorithm>

namespace dav {
namespace {

// Modes with fewer colours (16-colour VGA modes) are not offered to the user.
constexpr std::int16_t kLeastColorBits = 8;

}  // namespace

void clsResolution::Add(std::int16_t nColorBit, std::int32_t refresh) {
  if (nColorBit < kLeastColorBits) return;
  const auto found = std::find(colorBits_.begin(), colorBits_.end(), nColorBit);
  if (found != colorBits_.end()) {
    colorDepths_[found - colorBits_.begin()].Add(refresh);
    return;
  }
  colorBits_.push_back(nColorBit);
  colorDepths_.emplace_back().Add(refresh);
}

std::vector<std::int32_t> clsResolution::GetRefresh(std::int16_t nColorBit,
                                                    std::int32_t& nCount) const {
  const auto found = std::find(colorBits_.begin(), colorBits_.end(), nColorBit);
  if (found == colorBits_.end()) return {};
  return colorDepths_[found - colorBits_.begin()].GetRefresh(nCount);
}

std::vector<std::int16_t> clsResolution::GetColorBit(std::int32_t& nCount) const {
  nCount = static_cast<std::int32_t>(colorBits_.size());
  return colorBits_;
}

}  // namespace dav
