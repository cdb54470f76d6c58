// Display modes of the primary display adapter: the modes it offers by number, the mode in
// use, and the change of mode. The values are those of Windows' DEVMODE and
// ChangeDisplaySettings, so that the backend over the real API passes them through.
#pragma once

#include <cstdint>

namespace dav::platform {

// DEVMODE dmFields bits of the fields the component reads and sets.
inline constexpr std::uint32_t kDmBitsPerPel = 0x00040000;
inline constexpr std::uint32_t kDmPelsWidth = 0x00080000;
inline constexpr std::uint32_t kDmPelsHeight = 0x00100000;
inline constexpr std::uint32_t kDmDisplayFrequency = 0x00400000;

// Mode numbers of EnumDisplaySettings that name no mode of the list.
inline constexpr std::uint32_t kEnumCurrentSettings = 0xFFFFFFFF;   // the mode in use
inline constexpr std::uint32_t kEnumRegistrySettings = 0xFFFFFFFE;  // the mode for the next start

// ChangeDisplaySettings flags.
inline constexpr std::uint32_t kCdsUpdateRegistry = 0x1;  // keep the mode for the next start
inline constexpr std::uint32_t kCdsTest = 0x2;            // only ask whether it would work

// ChangeDisplaySettings results.
inline constexpr std::int32_t kDispChangeSuccessful = 0;
inline constexpr std::int32_t kDispChangeRestart = 1;
inline constexpr std::int32_t kDispChangeFailed = -1;
inline constexpr std::int32_t kDispChangeBadMode = -2;
inline constexpr std::int32_t kDispChangeBadParam = -5;

// The DEVMODE fields of a display mode. A frequency of 0 or 1 is the adapter's "default"
// rate that some adapters report.
struct DisplayMode {
  std::uint32_t fields = 0;  // dmFields: which of the values below are set
  std::uint32_t bitsPerPel = 0;
  std::uint32_t pelsWidth = 0;
  std::uint32_t pelsHeight = 0;
  std::uint32_t displayFrequency = 0;

  bool operator==(const DisplayMode&) const = default;
};

class Display {
 public:
  virtual ~Display() = default;

  // EnumDisplaySettingsA for the primary display. Mode numbers 0, 1, 2 ... give the modes
  // the adapter offers, in the adapter's order (which may list a mode twice), and false
  // after the last one; kEnumCurrentSettings gives the mode in use. On success every value
  // is filled and fields names at least the four fields above.
  virtual bool ModeSettings(std::uint32_t modeNumber, DisplayMode* mode) = 0;

  // ChangeDisplaySettingsExA(primary display, mode, no window, flags, no parameter). Values
  // whose bit is missing from mode.fields keep the mode in use. A mode the adapter does not
  // offer gives kDispChangeBadMode and leaves the display as it was.
  virtual std::int32_t ChangeModeEx(const DisplayMode& mode, std::uint32_t flags) = 0;

  // ChangeDisplaySettingsA(mode, flags): the same change of the primary display through the
  // older call.
  virtual std::int32_t ChangeMode(const DisplayMode& mode, std::uint32_t flags) = 0;
};

}  // namespace dav::platform
