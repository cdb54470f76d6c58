// davhost desktop approve / startup approve: approve what the PC holds today (the desktop's
// icons, or the Run entries and start-up items), turn protection on and apply it, as
// APL_WINCONF with the window document that says so; --plan does it on a throw-away copy.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

#include "host/approval.h"
#include "host/client_options.h"
#include "host/host_context.h"

namespace dav::host {

// Adds "approve" below the desktop or the startup command.
void AddApproveCommand(CLI::App& parent, ApprovalKind kind, HostContext& context,
                       const std::shared_ptr<ClientOptions>& client);

}  // namespace dav::host
