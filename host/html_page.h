// The pieces of davhost's self-contained HTML pages (report, room report): one inline style
// sheet, no script, no link outside the page, and every text from a PC or a document escaped.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/text_table.h"

namespace dav::host {

// "<!DOCTYPE html>" up to and including "<body>", with the title escaped and the style sheet
// both pages share.
std::string HtmlPageStart(std::string_view title);
inline constexpr std::string_view kHtmlPageEnd = "</body></html>\n";

// A table whose first row is its heading; the rows whose index is in marked (drifted ones)
// get class "drift". Every cell is escaped.
void AppendHtmlTable(std::string& page, const std::vector<TableRow>& rows,
                     const std::set<std::size_t>& marked = {});

}  // namespace dav::host
