// davhost report: one PC's lock-down as a self-contained page or one JSON document.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

#include "host/client_options.h"
#include "host/host_context.h"

namespace dav::host {

void AddReportCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client);

}  // namespace dav::host
