#include "host/html_page.h"

#include "util/xml_escape.h"

namespace dav::host {

std::string HtmlPageStart(std::string_view title) {
  const std::string escaped = util::EscapeHtml(title);
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + escaped +
         "</title><style>body{font-family:sans-serif;margin:1em}table{border-collapse:collapse;"
         "margin:.5em 0}th,td{border:1px solid #bbb;padding:2px 6px;text-align:left}"
         "tr.drift td,td.drift{background:#fdd}td.ok{background:#dfd}.ok{color:#060}"
         ".bad{color:#a00}table.room td{white-space:nowrap}</style></head><body>\n<h1>" +
         escaped + "</h1>\n";
}

void AppendHtmlTable(std::string& page, const std::vector<TableRow>& rows,
                     const std::set<std::size_t>& marked) {
  page += "<table>";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    page += marked.contains(i) ? "<tr class=\"drift\">" : "<tr>";
    for (const std::string& cell : rows[i]) {
      page += i == 0 ? "<th>" + util::EscapeHtml(cell) + "</th>"
                     : "<td>" + util::EscapeHtml(cell) + "</td>";
    }
    page += "</tr>";
  }
  page += "</table>\n";
}

}  // namespace dav::host
