#include "platform/win32/display.h"

#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {
namespace {

// A zero-filled DEVMODEA of this header's size (Windows reads the record's version from
// dmSize), with the fields the component uses.
DEVMODEA ToDevMode(const DisplayMode& mode) {
  DEVMODEA record{};
  record.dmSize = sizeof record;
  record.dmFields = mode.fields;
  record.dmBitsPerPel = mode.bitsPerPel;
  record.dmPelsWidth = mode.pelsWidth;
  record.dmPelsHeight = mode.pelsHeight;
  record.dmDisplayFrequency = mode.displayFrequency;
  return record;
}

}  // namespace

bool Win32Display::ModeSettings(std::uint32_t modeNumber, DisplayMode* mode) {
  DEVMODEA record{};
  record.dmSize = sizeof record;
  if (!EnumDisplaySettingsA(nullptr, modeNumber, &record)) return false;
  mode->fields = record.dmFields;
  mode->bitsPerPel = record.dmBitsPerPel;
  mode->pelsWidth = record.dmPelsWidth;
  mode->pelsHeight = record.dmPelsHeight;
  mode->displayFrequency = record.dmDisplayFrequency;
  return true;
}

std::int32_t Win32Display::ChangeModeEx(const DisplayMode& mode, std::uint32_t flags) {
  DEVMODEA record = ToDevMode(mode);
  return ChangeDisplaySettingsExA(nullptr, &record, nullptr, flags, nullptr);
}

std::int32_t Win32Display::ChangeMode(const DisplayMode& mode, std::uint32_t flags) {
  DEVMODEA record = ToDevMode(mode);
  return ChangeDisplaySettingsA(&record, flags);
}

}  // namespace dav::platform::win32
