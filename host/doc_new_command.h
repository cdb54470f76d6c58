// davhost doc new: a complete configuration document of one kind, every section present,
// with the values of a fresh PC or of the machine, to start a document from.
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

// Adds "new" below the doc command.
void AddDocNewCommand(CLI::App& doc, HostContext& context);

}  // namespace dav::host
