#include "display/cls_color_bit.h"

#include <algorithm>

namespace dav {

void clsColorBit::Add(std::int32_t nRefresh) {
  if (std::find(refreshRates_.begin(), refreshRates_.end(), nRefresh) != refreshRates_.end()) {
    return;
  }
  refreshRates_.push_back(nRefresh);
}

std::vector<std::int32_t> clsColorBit::GetRefresh(std::int32_t& nCount) const {
  nCount = static_cast<std::int32_t>(refreshRates_.size());
  return refreshRates_;
}

}  // namespace dav
