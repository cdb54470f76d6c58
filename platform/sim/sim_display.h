// The display adapter of the simulated PC: its mode list and the mode in use are tables of
// the machine database; every change of mode, and every refused one, goes to the event
// journal.
#pragma once

#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sqlite_db.h"

namespace dav::platform::sim {

// The names of the two stored modes: the one in use, and the one for the next start.
inline constexpr const char* kDisplayCurrent = "current";
inline constexpr const char* kDisplayRegistry = "registry";

// "1024x768x32@60": how the journal and davhost write a mode.
std::string DescribeMode(const DisplayMode& mode);

// Replaces the adapter's mode list (mode numbers 0, 1, ... in list order).
void WriteDisplayModes(Database& db, const std::vector<DisplayMode>& modes);
void WriteDisplaySetting(Database& db, const char* which, const DisplayMode& mode);

class SimDisplay : public Display {
 public:
  SimDisplay(Database& db, EventRecorder record) : db_(db), record_(std::move(record)) {}

  bool ModeSettings(std::uint32_t modeNumber, DisplayMode* mode) override;
  // A change to a mode of the list (a frequency of 0 or 1 takes the first listed rate of
  // that size and depth) becomes the mode in use, with kCdsUpdateRegistry also the one for
  // the next start, and is journaled as "display.change"; kCdsTest only checks. Any other
  // mode gives kDispChangeBadMode and is journaled as "display.refused".
  std::int32_t ChangeModeEx(const DisplayMode& mode, std::uint32_t flags) override;
  std::int32_t ChangeMode(const DisplayMode& mode, std::uint32_t flags) override;

  // The machine's side (PlatformError on a database failure).
  std::vector<DisplayMode> Modes();
  // A new list; the mode in use stays as it is, offered or not, as after a driver change.
  void SetModes(const std::vector<DisplayMode>& modes);

 private:
  std::int32_t Change(const DisplayMode& mode, std::uint32_t flags);

  Database& db_;
  EventRecorder record_;
};

}  // namespace dav::platform::sim
