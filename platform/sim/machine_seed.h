// What a new simulated PC starts with besides its settings: the special folders of a
// Korean Windows XP PC, the folders on drive C, and the registry values that Windows keeps
// about them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"

namespace dav::platform::sim {

// The special folders of user "user" with their Korean display names, at the places
// Windows XP gives them; virtual folders (My Computer, My Network Places, the Recycle Bin,
// the Control Panel, Printers and Faxes, Internet Explorer) have no path.
std::vector<SpecialFolder> DefaultSpecialFolders();

// Creates every folder that has a path, with its parents. A PlatformError when one cannot
// be made.
void CreateSpecialFolders(FileSystem& files, const std::vector<SpecialFolder>& folders);

// Writes the shell folder values (HKCU and HKLM "...\Explorer\Shell Folders" and
// "User Shell Folders"), "ProgramFilesDir", the desktop name-space keys of My Documents
// and the Recycle Bin, and the empty Run keys. String data are written
// in codePage. A PlatformError when the registry refuses a write.
void SeedRegistry(Registry& registry, const std::vector<SpecialFolder>& folders,
                  std::uint32_t codePage);

}  // namespace dav::platform::sim
