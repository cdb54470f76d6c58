// davhost windows [open TITLE | close TITLE]: the top-level windows of the simulated PC,
// opening one there, and closing one by title as the component does.
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddWindowCommands(CLI::App& app, HostContext& context);

}  // namespace dav::host
