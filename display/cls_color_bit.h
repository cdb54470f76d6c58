// One colour depth of a resolution in the display catalogue: its refresh rates in Hz, in
// the order the adapter first reported them.
#pragma once

#include <cstdint>
#include <vector>

namespace dav {

class clsColorBit {
 public:
  // Appends the rate unless it is already there. Every rate counts, also 0 and 1 (the
  // "default" rates some adapters report).
  void Add(std::int32_t nRefresh);

  // A copy of the rates; nCount becomes their number.
  std::vector<std::int32_t> GetRefresh(std::int32_t& nCount) const;

 private:
  std::vector<std::int32_t> refreshRates_;
};

}  // namespace dav
