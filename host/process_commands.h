// davhost ps [start PATH | end NAME]: the running processes, ending one by name as the
// component does, and (on the simulated PC) starting one.
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddProcessCommands(CLI::App& app, HostContext& context);

}  // namespace dav::host
