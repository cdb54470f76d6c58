// davhost display [set MODE]: the display catalogue as the component sees it, and a change
// of mode through it.
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddDisplayCommands(CLI::App& app, HostContext& context);

}  // namespace dav::host
