// davhost log: a day's log file of the component, as a person reads it.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

#include "host/client_options.h"
#include "host/host_context.h"

namespace dav::host {

void AddLogCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client);

}  // namespace dav::host
