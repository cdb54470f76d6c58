// davhost plan: what a command would do, found by running it on a throw-away copy of the
// machine and reporting every change it made there. The machine itself is not touched.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

#include "host/client_options.h"
#include "host/host_context.h"

namespace dav::host {

void AddPlanCommand(CLI::App& app, HostContext& context,
                    const std::shared_ptr<ClientOptions>& client);

}  // namespace dav::host
