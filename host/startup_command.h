// davhost startup: what the component will enforce on the programs that start with Windows
// at its next start, side by side with what the PC holds now.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

#include "host/client_options.h"
#include "host/host_context.h"

namespace dav::host {

void AddStartupCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client);

}  // namespace dav::host
