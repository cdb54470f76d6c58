// davhost edit FILE [-o OUT]: the matching editor on a document file of this computer, for
// authoring documents before they are rolled out. The machine is not changed: its display
// modes fill the display lists and its drives the folder browser, nothing more.
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddEditCommand(CLI::App& app, HostContext& context);

}  // namespace dav::host
