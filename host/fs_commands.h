// davhost fs ls|put|get|mkdir|attrib: the machine's files through platform::FileSystem.
#pragma once

#include <CLI/CLI.hpp>

#include "host/host_context.h"

namespace dav::host {

void AddFsCommands(CLI::App& app, HostContext& context);

}  // namespace dav::host
