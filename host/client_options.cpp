#include "host/client_options.h"

namespace dav::host {

std::shared_ptr<ClientOptions> ClientOptions::Add(CLI::App& app) {
  auto options = std::make_shared<ClientOptions>();
  options->folderOption_ =
      app.add_option("--client-folder", options->folder_,
                     "The client's folder on the PC (default: the machine's client_folder "
                     "setting, else 'C:\\Program Files\\brisal client')");
  options->keyOption_ = app.add_option("--client-key", options->key_,
                                       "The client's key below HKEY_LOCAL_MACHINE (default: the "
                                       "machine's client_key, else 'Software\\quorel\\brisal "
                                       "client')");
  options->specVersionOption_ =
      app.add_option("--spec-version", options->specVersion_,
                     "The version text the client reports (default: the machine's "
                     "spec_version, else 2.5.1)");
  return options;
}

ClientSettings ClientOptions::Resolve(platform::Platform& platform) const {
  ClientOverrides overrides;
  if (folderOption_->count()) overrides.folder = folder_;
  if (keyOption_->count()) overrides.registryKey = key_;
  if (specVersionOption_->count()) overrides.specVersion = specVersion_;
  return ResolveClientSettings(platform, overrides);
}

}  // namespace dav::host
