// The room report: many PCs' reports on one self-contained page. A table with one row per PC
// (name, when, in step or how many drifted, errors) and one column per section, then each
// PC's details in full, with nothing to click open.
#pragma once

#include <string>
#include <vector>

#include "host/room_reports.h"

namespace dav::host {

std::string RoomPage(const std::vector<PcReport>& reports);

}  // namespace dav::host
