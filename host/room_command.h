// davhost room report: the reports of many PCs on one page.
#pragma once

#include <CLI/CLI.hpp>

namespace dav::host {

// Exit code of room report for a report file that is missing, not JSON or not a report.
inline constexpr int kRoomBadReport = 2;

void AddRoomCommands(CLI::App& app);

}  // namespace dav::host
