// davhost desktop: the desktop as the component sees it (the special icons and every icon
// file with its approval), so that an administrator sees what auto recover will do at the
// component's next start.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

#include "host/client_options.h"
#include "host/host_context.h"

namespace dav::host {

void AddDesktopCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client);

}  // namespace dav::host
