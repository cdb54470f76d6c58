#include "host/client_settings.h"

#include <cctype>

#include "host/command_error.h"
#if DAV_PLATFORM_SIM
#include "platform/sim/machine.h"
#include "platform/sim/machine_settings.h"
#endif

namespace dav::host {
namespace {

std::string WithoutTrailingBackslashes(std::string text) {
  while (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

void CheckFolder(const std::string& folder) {
  const bool full = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
                    folder[1] == ':' && folder[2] == '\\';
  if (!full) {
    throw CommandError(
        "the client folder must be a full Windows path such as "
        "'C:\\Program Files\\brisal client', not '" +
        folder + "'");
  }
}

void CheckKey(const std::string& key) {
  if (key.empty() || key.front() == '\\' || key.rfind("HKEY_", 0) == 0 ||
      key.rfind("HKLM\\", 0) == 0) {
    throw CommandError(
        "the client key must be a key path below HKEY_LOCAL_MACHINE without the "
        "hive name, such as 'Software\\quorel\\brisal client', not '" +
        key + "'");
  }
}

}  // namespace

ClientSettings ResolveClientSettings(platform::Platform& platform,
                                     const ClientOverrides& overrides) {
  ClientSettings settings;
#if DAV_PLATFORM_SIM
  if (auto* machine = dynamic_cast<platform::sim::Machine*>(&platform)) {
    namespace setting = platform::sim::setting;
    for (const auto& [name, value] : machine->Settings()) {
      if (name == setting::kClientFolder) settings.folder = value;
      if (name == setting::kClientKey) settings.registryKey = value;
      if (name == setting::kSpecVersion) settings.specVersion = value;
    }
  }
#else
  (void)platform;
#endif
  if (overrides.folder) settings.folder = *overrides.folder;
  if (overrides.registryKey) settings.registryKey = *overrides.registryKey;
  if (overrides.specVersion) settings.specVersion = *overrides.specVersion;

  CheckFolder(settings.folder);
  settings.folder = WithoutTrailingBackslashes(settings.folder);
  settings.registryKey = WithoutTrailingBackslashes(settings.registryKey);
  CheckKey(settings.registryKey);
  return settings;
}

}  // namespace dav::host
