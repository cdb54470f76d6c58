// davhost legacy: the component's operations on the legacy settings document that no host
// command reaches (ApplyWindowSettingXML, ApplyXML_ManagerLogin, ApplyXML_ManagerLogoff),
// each in one lifetime of the component.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

#include "host/client_options.h"
#include "host/host_context.h"

namespace dav::host {

void AddLegacyCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client);

}  // namespace dav::host
