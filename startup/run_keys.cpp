#include "startup/run_keys.h"

#include "registry/md_spm.h"

namespace dav::startup {

const LiveKey* LiveKeyOf(platform::KeyHandle hive, std::string_view path) {
  for (const LiveKey& live : kLiveKeys) {
    if (live.hive == hive && mdSPM::SameName(live.path, path)) return &live;
  }
  return nullptr;
}

const LiveKey* LiveKeyOfRecord(std::string_view hkey, std::string_view key) {
  if (hkey == "HKLM") return LiveKeyOf(platform::kHKeyLocalMachine, key);
  if (hkey == "HKCU") return LiveKeyOf(platform::kHKeyCurrentUser, key);
  return nullptr;
}

StorePlaces StorePlacesOf(std::string_view hostRegistryKey) {
  StorePlaces places;
  places.storeKey =
      std::string(hostRegistryKey) + "\\Components\\DavIrizevez.CCDavIrizevez\\SPManager";
  places.startListKey = places.storeKey + "\\SPMRegStart";
  places.offListKey = places.storeKey + "\\SPMRegDelete";
  places.folderKey = places.storeKey + "\\SPMFolder";
  return places;
}

}  // namespace dav::startup
