// Where the component keeps its two icon folder sets, derived as its start derives them:
// the user's folder, the all-users folder (none on the 95 family) and the backup folder
// below the client's folder.
#pragma once

#include <string>

#include "host/client_settings.h"
#include "util/log.h"

namespace dav::host {

struct IconFolderPlaces {
  std::string user;
  std::string common;  // empty: the set has no all-users folder
  std::string backup;
};

IconFolderPlaces DesktopFolderPlaces(util::Log& log, const ClientSettings& settings, bool isWinNT);
IconFolderPlaces StartupFolderPlaces(util::Log& log, const ClientSettings& settings, bool isWinNT);

// The desktop icon store below HKEY_LOCAL_MACHINE, which holds "EnableAutoRecover".
std::string DesktopIconStoreKey(const ClientSettings& settings);

}  // namespace dav::host
