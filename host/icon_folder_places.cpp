#include "host/icon_folder_places.h"

#include "platform/shell.h"
#include "util/mod_main.h"

namespace dav::host {
namespace {

// The desktop paths lose blanks at either end, as the component's start trims them.
std::string TrimBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

IconFolderPlaces DesktopFolderPlaces(util::Log& log, const ClientSettings& settings, bool isWinNT) {
  return {TrimBlanks(modMain::GetSpecialFolderPath(log, platform::kCsidlDesktopDirectory)),
          isWinNT ? TrimBlanks(
                        modMain::GetSpecialFolderPath(log, platform::kCsidlCommonDesktopDirectory))
                  : std::string(),
          settings.folder + "\\Components\\DavIrizevez\\DIBackup"};
}

IconFolderPlaces StartupFolderPlaces(util::Log& log, const ClientSettings& settings, bool isWinNT) {
  return {
      modMain::GetSpecialFolderPath(log, platform::kCsidlStartup),
      isWinNT ? modMain::GetSpecialFolderPath(log, platform::kCsidlCommonStartup) : std::string(),
      settings.folder + "\\Components\\StartProgramManager\\SPBackup"};
}

std::string DesktopIconStoreKey(const ClientSettings& settings) {
  return settings.registryKey + "\\Components\\DavIrizevez.CCDavIrizevez\\DIManager";
}

}  // namespace dav::host
