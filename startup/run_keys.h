// The Run keys that the start program manager looks after, and the places of its store.
//
// Three live keys are managed. Each has a label that names its list in the store and the
// Path/HKey pair of a start program record:
//
//   HKEY_LOCAL_MACHINE  SOFTWARE\Microsoft\Windows\CurrentVersion\Run HKEY_LOCAL_MACHINE_RUN
//   HKEY_LOCAL_MACHINE  SOFTWARE\Microsoft\Windows\CurrentVersion\RunServices
//   HKEY_LOCAL_MACHINE_RUNSERVICES HKEY_CURRENT_USER SOFTWARE\Microsoft\Windows\CurrentVersion\Run
//   HKEY_CURRENT_USER_RUN
//
// Windows 9x keeps switched-off entries in the same keys with a "-" appended ("Run-");
// the NT family's system configuration utility keeps them as "startupreg" records below
// HKEY_LOCAL_MACHINE, one subkey per entry with the values "command", "hkey" ("HKLM" or
// "HKCU") and "key" (the live key's path).
//
// The store, all below HKEY_LOCAL_MACHINE, is the host's key +
// "\Components\DavIrizevez.CCDavIrizevez\SPManager" with the value "EveryTime" ("0"
// protection off, anything else on), the start list "SPMRegStart" and the off list
// "SPMRegDelete" (one subkey per label each, one value per entry: the entry's name, command
// line and the type it had in the live key), and "SPMFolder".
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace dav::startup {

inline constexpr std::string_view kRunPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunServicesPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
inline constexpr std::string_view kStartupRegKey =
    "SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";

struct LiveKey {
  platform::KeyHandle hive;
  std::string_view path;
  std::string_view label;
  // Where Windows 9x keeps the key's switched-off entries.
  std::string_view disabledPath;
};

inline constexpr std::array<LiveKey, 3> kLiveKeys = {{
    {platform::kHKeyLocalMachine, kRunPath, "HKEY_LOCAL_MACHINE_RUN",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run-"},
    {platform::kHKeyLocalMachine, kRunServicesPath, "HKEY_LOCAL_MACHINE_RUNSERVICES",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices-"},
    {platform::kHKeyCurrentUser, kRunPath, "HKEY_CURRENT_USER_RUN",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run-"},
}};

// The managed key that a hive and key path name (the path compared without regard to
// letter case, as the registry does); null for any other key. A record of another key has
// no list in the store.
const LiveKey* LiveKeyOf(platform::KeyHandle hive, std::string_view path);

// The managed key of a "startupreg" record's "hkey" ("HKLM", "HKCU") and "key"; null when
// they name none.
const LiveKey* LiveKeyOfRecord(std::string_view hkey, std::string_view key);

// The store's keys below HKEY_LOCAL_MACHINE.
struct StorePlaces {
  std::string storeKey;      // the SPM store key, holding "EveryTime"
  std::string startListKey;  // storeKey + "\SPMRegStart"
  std::string offListKey;    // storeKey + "\SPMRegDelete"
  std::string folderKey;     // storeKey + "\SPMFolder"
};

// The store of the host whose registry key (below HKEY_LOCAL_MACHINE) is given.
StorePlaces StorePlacesOf(std::string_view hostRegistryKey);

// One list of the store: list key + "\" + label.
inline std::string ListOf(const std::string& listKey, const LiveKey& live) {
  return listKey + "\\" + std::string(live.label);
}

// Start programs are command lines: only REG_SZ and REG_EXPAND_SZ entries are moved
// between keys. Other values in a Run key start nothing, and their data would not survive
// the move as text.
inline bool IsCommandType(std::int32_t type) {
  return type == static_cast<std::int32_t>(platform::kRegSz) ||
         type == static_cast<std::int32_t>(platform::kRegExpandSz);
}

// The client's services that a live key may hold besides the start list's entries; they
// are not counted when the two are compared.
inline constexpr std::array<std::string_view, 5> kCountingNames = {
    "KVService", "qrlacc", "brisal scheduler", "qrltrans", "qrlgc"};

}  // namespace dav::startup
