// One resolution of the display catalogue: its colour depths in bits per pixel, each with
// its refresh rates, in the order the adapter first reported them.
#pragma once

#include <cstdint>
#include <vector>

#include "display/cls_color_bit.h"

namespace dav {

class clsResolution {
 public:
  // Hands the rate to the depth's entry, adding the depth when it is new. Depths under
  // 8 bits are ignored: they add nothing (the resolution itself stays in the catalogue).
  void Add(std::int16_t nColorBit, std::int32_t refresh);

  // A copy of the depth's rates and their number in nCount; for a depth this resolution
  // does not have, an empty list and nCount unchanged.
  std::vector<std::int32_t> GetRefresh(std::int16_t nColorBit, std::int32_t& nCount) const;

  // A copy of the depths; nCount becomes their number.
  std::vector<std::int16_t> GetColorBit(std::int32_t& nCount) const;

 private:
  // Parallel lists: colorBits_[i] is the depth that colorDepths_[i] holds the rates of.
  std::vector<clsColorBit> colorDepths_;
  std::vector<std::int16_t> colorBits_;
};

}  // namespace dav
