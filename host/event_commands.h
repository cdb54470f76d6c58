// davhost events [--since N]: the simulated PC's event journal (sim builds only).
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddEventCommands(CLI::App& app, HostContext& context);

}  // namespace dav::host
