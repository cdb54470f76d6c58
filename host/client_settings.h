// What davhost, playing the PC-management client, reports to the component: its
// installation folder, its registry key below HKEY_LOCAL_MACHINE and its version text. They
// come from the machine's settings (the simulated PC keeps them; on Windows the defaults
// stand) and each can be overridden on the command line.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace dav::host {

struct ClientSettings {
  std::string folder = "C:\\Program Files\\brisal client";
  std::string registryKey = "Software\\quorel\\brisal client";
  std::string specVersion = "2.5.1";

  // The component's own folder below the client's: where its logs and documents go.
  std::string ComponentFolder() const { return folder + "\\Components\\DavIrizevez"; }
  // The component's own key below HKEY_LOCAL_MACHINE, below the client's.
  std::string ComponentKey() const {
    return registryKey + "\\Components\\DavIrizevez.CCDavIrizevez";
  }
};

// --client-folder, --client-key, --spec-version; unset when not given.
struct ClientOverrides {
  std::optional<std::string> folder;
  std::optional<std::string> registryKey;
  std::optional<std::string> specVersion;
};

// The machine's settings with the overrides on top. A folder that is not a full Windows
// path or a key with a hive name or a leading backslash is a CommandError; trailing
// backslashes are dropped, as the client reports both without one.
ClientSettings ResolveClientSettings(platform::Platform& platform,
                                     const ClientOverrides& overrides);

}  // namespace dav::host
