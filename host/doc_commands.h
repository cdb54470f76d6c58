// davhost doc check: loads a configuration document file as the component would and tells
// a person what it holds, or why it does not load.
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddDocCommands(CLI::App& app, HostContext& context);

}  // namespace dav::host
