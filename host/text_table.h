// Columns aligned for a terminal, counting wide (Korean) characters as two columns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dav::host {

using TableRow = std::vector<std::string>;

// Text made safe to print on one terminal line: valid UTF-8 stays as it is (Korean stays
// readable, a backslash stays a single backslash), while ASCII control characters become
// visible escapes - \r, \n, \t, and \xHH for the other bytes below 0x20 and for 0x7F - and
// each byte that is not part of valid UTF-8 becomes \xHH.
std::string VisibleText(std::string_view bytes);

// The text as it fits in width terminal columns: unchanged when it fits, else its first
// whole characters and "…" (one column) within width; with middle, a third of its first
// and the rest of its last characters on either side of the "…" (a path keeps its drive or
// hive and its file or value name). Never cuts inside a character.
std::string CutToWidth(std::string_view utf8, std::size_t width, bool middle = false);

// Each row on its own line, indented; every column but the last padded to the widest cell
// of its column, with two spaces between columns. Columns listed in rightAligned are
// padded on the left (numbers). Cells are shown through VisibleText, so a cell never
// breaks its line or sends control sequences to the terminal.
std::string FormatTable(const std::vector<TableRow>& rows, std::size_t indent,
                        const std::vector<std::size_t>& rightAligned = {});

}  // namespace dav::host
