// The display catalogue: the modes the primary display adapter offers, as a tree of
// resolution (width x height) -> colour depth -> refresh rates, each level in the order the
// adapter first reported it. Modes under 800 x 600 are left out. The tree is read once, at
// creation; only the mode in use is read again by GetInitScreenInfo.
//
// Lookups return copies; a lookup of a resolution or depth that is not in the catalogue
// returns an empty list and leaves the count argument as it was. No method reports a
// display failure: a mode the adapter refuses leaves the display as it was.
#pragma once

#include <cstdint>
#include <vector>

#include "display/cls_resolution.h"
#include "platform/clock.h"
#include "platform/display.h"

namespace dav {

class clsAvailableInfo {
 public:
  // Reads the mode in use, then the adapter's modes. The clock lets window messages run
  // during a change of mode.
  clsAvailableInfo(platform::Display& display, platform::Clock& clock);

  // The number of resolutions.
  std::int32_t GetCount() const;

  // The mode in use now (read again at every call).
  void GetInitScreenInfo(std::int32_t& nWidth, std::int32_t& nHeight, std::int16_t& nColorBit,
                         std::int16_t& nRefresh);

  // The widths (heights) of the resolutions, same index; nCount becomes their number.
  std::vector<std::int32_t> GetResolutionW(std::int32_t& nCount) const;
  std::vector<std::int32_t> GetResolutionH(std::int32_t& nCount) const;

  // The depths of one resolution.
  std::vector<std::int16_t> GetColorBit(std::int32_t nWidth, std::int32_t nHeight,
                                        std::int32_t& nCount) const;

  // The refresh rates of one depth of one resolution.
  std::vector<std::int32_t> GetRefresh(std::int32_t nWidth, std::int32_t nHeight,
                                       std::int16_t nColorBit, std::int32_t& nCount) const;

  // Changes the display to the mode, kept for the next start: the mode in use with these
  // four values (field mask 0x5C0000) goes to ChangeDisplaySettingsExA with
  // CDS_UPDATEREGISTRY, pending messages run once, then the same record goes to
  // ChangeDisplaySettingsA. Both results are ignored.
  void SetDisplayChange(std::int32_t nWidth, std::int32_t nHeight, std::int16_t nColorBit,
                        std::int32_t nRefresh);

 private:
  void AddMode(std::int32_t width, std::int32_t height, std::int16_t colorBits,
               std::int32_t refresh);
  void ReadActiveMode();
  void EnumerateModes();
  // The index of a resolution, or -1.
  std::int32_t Find(std::int32_t width, std::int32_t height) const;

  platform::Display& display_;
  platform::Clock& clock_;

  // Parallel lists: resolutions_[i] is widths_[i] x heights_[i].
  std::vector<clsResolution> resolutions_;
  std::vector<std::int32_t> widths_;
  std::vector<std::int32_t> heights_;

  std::int32_t initWidth_ = 0;
  std::int32_t initHeight_ = 0;
  std::int16_t initColorBit_ = 0;
  std::int16_t initRefresh_ = 0;
};

}  // namespace dav
