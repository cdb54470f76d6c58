// What runs on a new simulated PC and what its display adapter offers: the display modes
// of a common adapter, the processes of a Windows XP session with explorer.exe as its shell,
// and the shell's own windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/sim/sqlite_db.h"

namespace dav::platform::sim {

// The adapter's modes in its own order: depth by depth, small modes (640 x 480) included,
// several refresh rates, and one mode reported a second time, as real drivers do.
const std::vector<DisplayMode>& DefaultDisplayModes();

// The mode in use on a new machine (also the one kept for the next start).
DisplayMode DefaultCurrentMode();

// Fills the display, process and window tables of a machine that has none yet.
void SeedDevices(Database& db);

// The shell's top-level windows, made for every new shell process.
void OpenShellWindows(Database& db, std::uint32_t shellProcessId);

}  // namespace dav::platform::sim
