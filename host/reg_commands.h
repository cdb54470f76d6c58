// davhost reg export|import|get|set|delete.
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddRegCommands(CLI::App& app, HostContext& context);

}  // namespace dav::host
