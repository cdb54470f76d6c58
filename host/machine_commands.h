// davhost machine init|info: creating and describing the simulated PC (sim builds only).
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddMachineCommands(CLI::App& app, HostContext& context);

}  // namespace dav::host
