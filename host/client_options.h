// The command-line options that override the client settings (--client-folder,
// --client-key, --spec-version). Global like --machine, and read when a command runs.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "host/client_settings.h"
#include "platform/platform.h"

namespace dav::host {

class ClientOptions {
 public:
  // Adds the three options to the top-level command.
  static std::shared_ptr<ClientOptions> Add(CLI::App& app);

  // The machine's client settings with what was given on the command line on top.
  ClientSettings Resolve(platform::Platform& platform) const;

 private:
  std::string folder_;
  std::string key_;
  std::string specVersion_;
  CLI::Option* folderOption_ = nullptr;
  CLI::Option* keyOption_ = nullptr;
  CLI::Option* specVersionOption_ = nullptr;
};

}  // namespace dav::host
