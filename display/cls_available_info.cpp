#include "display/cls_available_info.h"

namespace dav {
namespace {

constexpr std::int32_t kLeastWidth = 800;
constexpr std::int32_t kLeastHeight = 600;

// dmFields of a change: bits per pixel, width, height and display frequency.
constexpr std::uint32_t kChangeFields = platform::kDmBitsPerPel | platform::kDmPelsWidth |
                                        platform::kDmPelsHeight | platform::kDmDisplayFrequency;
static_assert(kChangeFields == 0x5C0000);

}  // namespace

clsAvailableInfo::clsAvailableInfo(platform::Display& display, platform::Clock& clock)
    : display_(display), clock_(clock) {
  ReadActiveMode();
  EnumerateModes();
}

std::int32_t clsAvailableInfo::GetCount() const {
  return static_cast<std::int32_t>(resolutions_.size());
}

void clsAvailableInfo::GetInitScreenInfo(std::int32_t& nWidth, std::int32_t& nHeight,
                                         std::int16_t& nColorBit, std::int16_t& nRefresh) {
  ReadActiveMode();
  nWidth = initWidth_;
  nHeight = initHeight_;
  nColorBit = initColorBit_;
  nRefresh = initRefresh_;
}

std::vector<std::int32_t> clsAvailableInfo::GetResolutionW(std::int32_t& nCount) const {
  nCount = GetCount();
  return widths_;
}

std::vector<std::int32_t> clsAvailableInfo::GetResolutionH(std::int32_t& nCount) const {
  nCount = GetCount();
  return heights_;
}

std::vector<std::int16_t> clsAvailableInfo::GetColorBit(std::int32_t nWidth, std::int32_t nHeight,
                                                        std::int32_t& nCount) const {
  const std::int32_t index = Find(nWidth, nHeight);
  if (index < 0) return {};
  return resolutions_[index].GetColorBit(nCount);
}

std::vector<std::int32_t> clsAvailableInfo::GetRefresh(std::int32_t nWidth, std::int32_t nHeight,
                                                       std::int16_t nColorBit,
                                                       std::int32_t& nCount) const {
  const std::int32_t index = Find(nWidth, nHeight);
  if (index < 0) return {};
  return resolutions_[index].GetRefresh(nColorBit, nCount);
}

void clsAvailableInfo::SetDisplayChange(std::int32_t nWidth, std::int32_t nHeight,
                                        std::int16_t nColorBit, std::int32_t nRefresh) {
  platform::DisplayMode record;
  display_.ModeSettings(platform::kEnumCurrentSettings, &record);
  record.pelsWidth = static_cast<std::uint32_t>(nWidth);
  record.pelsHeight = static_cast<std::uint32_t>(nHeight);
  record.bitsPerPel = static_cast<std::uint32_t>(nColorBit);
  record.displayFrequency = static_cast<std::uint32_t>(nRefresh);
  record.fields = kChangeFields;
  display_.ChangeModeEx(record, platform::kCdsUpdateRegistry);
  clock_.PumpMessages();
  record.displayFrequency = static_cast<std::uint32_t>(nRefresh);
  display_.ChangeMode(record, platform::kCdsUpdateRegistry);
}

void clsAvailableInfo::AddMode(std::int32_t width, std::int32_t height, std::int16_t colorBits,
                               std::int32_t refresh) {
  std::int32_t index = Find(width, height);
  if (index < 0) {
    widths_.push_back(width);
    heights_.push_back(height);
    resolutions_.emplace_back();
    index = GetCount() - 1;
  }
  resolutions_[index].Add(colorBits, refresh);
}

void clsAvailableInfo::ReadActiveMode() {
  platform::DisplayMode mode;  // stays zero when the display cannot be read
  display_.ModeSettings(platform::kEnumCurrentSettings, &mode);
  initWidth_ = static_cast<std::int32_t>(mode.pelsWidth);
  initHeight_ = static_cast<std::int32_t>(mode.pelsHeight);
  initColorBit_ = static_cast<std::int16_t>(mode.bitsPerPel);
  initRefresh_ = static_cast<std::int16_t>(mode.displayFrequency);
}

void clsAvailableInfo::EnumerateModes() {
  platform::DisplayMode mode;
  for (std::uint32_t number = 0; display_.ModeSettings(number, &mode); ++number) {
    const auto width = static_cast<std::int32_t>(mode.pelsWidth);
    const auto height = static_cast<std::int32_t>(mode.pelsHeight);
    if (width >= kLeastWidth && height >= kLeastHeight) {
      AddMode(width, height, static_cast<std::int16_t>(mode.bitsPerPel),
              static_cast<std::int32_t>(mode.displayFrequency));
    }
  }
}

std::int32_t clsAvailableInfo::Find(std::int32_t width, std::int32_t height) const {
  for (std::size_t i = 0; i < widths_.size(); ++i) {
    if (widths_[i] == width && heights_[i] == height) return static_cast<std::int32_t>(i);
  }
  return -1;
}

}  // namespace dav
