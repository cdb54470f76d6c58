#include "host/room_page.h"

#include <algorithm>
#include <cstddef>

#include "host/drift_command.h"
#include "host/html_page.h"
#include "util/xml_escape.h"

namespace dav::host {
namespace {

// The columns after the PC's own: every section any PC reported, in the order first met,
// then the icon folders and the Run entries.
constexpr const char* kIconsColumn = "Icons";
constexpr const char* kRunColumn = "Start programs";

std::vector<std::string> Columns(const std::vector<PcReport>& reports) {
  std::vector<std::string> columns;
  for (const PcReport& report : reports) {
    for (const CurrentRow& section : report.drift.current) {
      if (std::find(columns.begin(), columns.end(), section.section) == columns.end()) {
        columns.push_back(section.section);
      }
    }
  }
  columns.push_back(kIconsColumn);
  columns.push_back(kRunColumn);
  return columns;
}

// How many of the PC's drifted rows the column counts; -1 when the PC reported no such
// section.
long DriftedIn(const PcReport& report, const std::string& column) {
  const DriftResult& drift = report.drift;
  if (column == kIconsColumn) return static_cast<long>(drift.icons.size());
  if (column == kRunColumn) return static_cast<long>(drift.runEntries.size());
  const bool reported = std::any_of(drift.current.begin(), drift.current.end(),
                                    [&](const CurrentRow& row) { return row.section == column; });
  const long drifted = std::count_if(drift.rows.begin(), drift.rows.end(),
                                     [&](const RowDrift& row) { return row.section == column; });
  return reported || drifted > 0 ? drifted : -1;
}

std::string State(const PcReport& report) {
  if (!report.drift.anyRead) return "nothing to compare";
  return report.drift.InStep() ? "in step" : std::to_string(report.drift.Count()) + " drifted";
}

std::string Cell(const std::string& text, const char* cssClass) {
  return std::string("<td") + (*cssClass ? std::string(" class=\"") + cssClass + "\"" : "") + ">" +
         util::EscapeHtml(text) + "</td>";
}

void Overview(std::string& page, const std::vector<PcReport>& reports,
              const std::vector<std::string>& columns) {
  page += "<table class=\"room\"><tr><th>PC</th><th>When</th><th>State</th><th>Errors</th>";
  for (const std::string& column : columns) {
    // A long section name may break after its slashes ("ControlMngr/WinXP/CPLList").
    std::string heading = util::EscapeHtml(column);
    for (std::size_t at = heading.find('/'); at != std::string::npos; at = heading.find('/', at)) {
      heading.insert(at + 1, "<wbr>");
      at += 6;
    }
    page += "<th>" + heading + "</th>";
  }
  page += "</tr>\n";
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const PcReport& report = reports[i];
    const bool inStep = report.drift.anyRead && report.drift.InStep();
    page += "<tr><td><a href=\"#pc" + std::to_string(i + 1) + "\">" +
            util::EscapeHtml(report.name) + "</a></td>" + Cell(report.time, "") +
            Cell(State(report), inStep ? "ok" : "drift") +
            Cell(std::to_string(report.errors.size()), report.errors.empty() ? "" : "drift");
    for (const std::string& column : columns) {
      const long drifted = DriftedIn(report, column);
      page += drifted < 0 ? Cell("-", "") : Cell(std::to_string(drifted), drifted ? "drift" : "");
    }
    page += "</tr>\n";
  }
  page += "</table>\n";
}

void Details(std::string& page, const PcReport& report, std::size_t number) {
  const DriftResult& drift = report.drift;
  page += "<h2 id=\"pc" + std::to_string(number) + "\">" + util::EscapeHtml(report.name) +
          "</h2>\n<p>" + util::EscapeHtml(report.time) + ", " + util::EscapeHtml(State(report)) +
          " (" + util::EscapeHtml(report.file) + ").</p>\n";
  std::vector<TableRow> documents{{"Document", "State"}};
  for (const SavedDocument& doc : drift.documents) documents.push_back({doc.file, doc.state});
  AppendHtmlTable(page, documents);
  if (!drift.rows.empty()) AppendHtmlTable(page, DriftedRowsTable(drift));
  if (!drift.icons.empty()) AppendHtmlTable(page, DriftedIconsTable(drift));
  if (!drift.runEntries.empty()) AppendHtmlTable(page, DriftedRunTable(drift));
  for (const std::string& line : report.errors) {
    page += "<pre class=\"bad\">" + util::EscapeHtml(line) + "</pre>\n";
  }
}

}  // namespace

std::string RoomPage(const std::vector<PcReport>& reports) {
  std::string page = HtmlPageStart("Room report");
  const long inStep = std::count_if(reports.begin(), reports.end(), [](const PcReport& report) {
    return report.drift.anyRead && report.drift.InStep();
  });
  const long withErrors = std::count_if(reports.begin(), reports.end(), [](const PcReport& report) {
    return !report.errors.empty();
  });
  page += "<p>" + std::to_string(reports.size()) + (reports.size() == 1 ? " PC: " : " PCs: ") +
          std::to_string(inStep) + " in step, " +
          std::to_string(static_cast<long>(reports.size()) - inStep) + " not, " +
          std::to_string(withErrors) + " with errors in the log.</p>\n";
  const std::vector<std::string> columns = Columns(reports);
  Overview(page, reports, columns);
  for (std::size_t i = 0; i < reports.size(); ++i) Details(page, reports[i], i + 1);
  return page + std::string(kHtmlPageEnd);
}

}  // namespace dav::host
