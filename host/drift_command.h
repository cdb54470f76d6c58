// davhost drift: what a user changed behind the lock-down since the component last applied
// its documents, read without starting the component.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

#include "host/client_options.h"
#include "host/drift_check.h"
#include "host/host_context.h"
#include "host/json_text.h"

namespace dav::host {

// Exit codes of drift, as diff(1) has them.
inline constexpr int kDriftInStep = 0;
inline constexpr int kDriftFound = 1;
inline constexpr int kDriftNothingRead = 2;

// drift --json's document.
Json DriftJson(const DriftResult& drift);

// The drifted rows, icons and Run entries as tables, each headed by its column names, as
// drift prints them and the report pages show them.
std::vector<TableRow> DriftedRowsTable(const DriftResult& drift);
std::vector<TableRow> DriftedIconsTable(const DriftResult& drift);
std::vector<TableRow> DriftedRunTable(const DriftResult& drift);

void AddDriftCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client);

}  // namespace dav::host
