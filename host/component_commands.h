// davhost as the component's host: the client settings options, identity, handle, session
// and log.
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddComponentCommands(CLI::App& app, HostContext& context);

}  // namespace dav::host
