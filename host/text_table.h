// Columns aligned for a terminal, counting wide (Korean) characters as two columns.
#pragma once

#include <string>
#include <vector>

namespace dav::host {

using TableRow = std::vector<std::string>;

// Each row on its own line, indented; every column but the last padded to the widest cell
// of its column, with two spaces between columns. Columns listed in rightAligned are
// padded on the left (numbers).
std::string FormatTable(const std::vector<TableRow>& rows, std::size_t indent,
                        const std::vector<std::size_t>& rightAligned = {});

}  // namespace dav::host
