#include "host/report_command.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>

#include "host/command_error.h"
#include "host/drift_check.h"
#include "host/drift_command.h"
#include "host/json_option.h"
#include "util/date_format.h"
#include "util/log.h"

namespace dav::host {
namespace {

// Text from the PC or a document, safe inside an element or a quoted attribute.
std::string Html(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The last error lines of the component's log and debug log of today.
std::vector<std::string> LastErrors(platform::Platform& pc, const ClientSettings& settings) {
  util::Log log(pc, settings.ComponentFolder());
  std::vector<std::string> errors;
  for (const std::string& path : {log.LogFilePath(), log.DebugLogPath()}) {
    std::string bytes;
    if (pc.files().GetAttributes(path) == platform::kInvalidAttributes) continue;
    if (pc.files().ReadAll(path, &bytes) != platform::kErrorSuccess) continue;
    std::size_t start = 0;
    while (start < bytes.size()) {
      std::size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      std::string line = bytes.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.find("[err:") != std::string::npos || line.find("Err (") != std::string::npos) {
        errors.push_back(VisibleText(line));
      }
      start = end + 1;
    }
  }
  constexpr std::size_t kKept = 20;
  if (errors.size() > kKept) errors.erase(errors.begin(), errors.end() - kKept);
  return errors;
}

void Table(std::string& page, const std::vector<TableRow>& rows,
           const std::set<std::size_t>& marked) {
  page += "<table>";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    page += marked.contains(i) ? "<tr class=\"drift\">" : "<tr>";
    for (const std::string& cell : rows[i]) {
      page += i == 0 ? "<th>" + Html(cell) + "</th>" : "<td>" + Html(cell) + "</td>";
    }
    page += "</tr>";
  }
  page += "</table>\n";
}

std::string Page(const DriftResult& drift, const std::vector<std::string>& errors) {
  std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Lock-down report</title>"
      "<style>body{font-family:sans-serif;margin:1em}table{border-collapse:collapse;margin:"
      ".5em 0}th,td{border:1px solid #bbb;padding:2px 6px;text-align:left}"
      "tr.drift td{background:#fdd}.ok{color:#060}.bad{color:#a00}</style></head><body>\n";
  page += "<h1>Lock-down report</h1>\n";
  page += drift.InStep() ? "<p class=\"ok\">In step with the saved documents.</p>\n"
                         : "<p class=\"bad\">" + std::to_string(drift.Count()) +
                               " drifted from the saved documents.</p>\n";
  std::vector<TableRow> documents{{"Document", "State"}};
  for (const SavedDocument& doc : drift.documents) documents.push_back({doc.file, doc.state});
  Table(page, documents, {});

  // Each section's rows, the drifted ones marked with what was applied.
  std::vector<TableRow> rows{{"Section", "Row", "Meaning", "Now", "Applied"}};
  std::set<std::size_t> marked;
  for (const CurrentRow& row : drift.current) {
    std::string applied;
    for (const RowDrift& d : drift.rows) {
      if (d.section == row.section && d.id == row.id) applied = d.applied;
    }
    if (!applied.empty()) marked.insert(rows.size());
    rows.push_back({row.section, row.id, row.meaning, row.value, applied});
  }
  page += "<h2>Sections</h2>\n";
  Table(page, rows, marked);

  const auto iconTable = [&](const char* title, const std::vector<TableRow>& table,
                             const char* where) {
    std::set<std::size_t> drifted;
    for (std::size_t i = 1; i < table.size(); ++i) {
      for (const IconDrift& icon : drift.icons) {
        if (icon.where == where && icon.file == table[i][1]) drifted.insert(i);
      }
    }
    page += std::string("<h2>") + title + "</h2>\n";
    Table(page, table, drifted);
  };
  page += "<p>Desktop auto recover: " + std::string(drift.autoRecover ? "on" : "off") +
          ". Start program protection: " + (drift.startProtection ? "on" : "off") + ".</p>\n";
  iconTable("Desktop", drift.desktopIcons, "desktop");
  iconTable("Start-up folders", drift.startupIcons, "start-up");
  std::vector<TableRow> run{{"Key", "Name", "Next start", "Command"}};
  for (const RunDrift& entry : drift.runEntries) {
    run.push_back({entry.key, entry.name, entry.nextStart, entry.command});
  }
  page += "<h2>Start programs the next start moves</h2>\n";
  std::set<std::size_t> all;
  for (std::size_t i = 1; i < run.size(); ++i) all.insert(i);
  Table(page, run, all);

  page += "<h2>Last errors of the component's log</h2>\n";
  if (errors.empty()) page += "<p>None today.</p>\n";
  for (const std::string& line : errors) page += "<pre>" + Html(line) + "</pre>\n";
  return page + "</body></html>\n";
}

void RunReport(HostContext& context, const ClientOptions& client, const std::string& htmlFile,
               bool json) {
  platform::Platform& pc = context.platform();
  const ClientSettings settings = client.Resolve(pc);
  const DriftResult drift = ReadDrift(pc, settings);
  const std::vector<std::string> errors = LastErrors(pc, settings);
  if (!htmlFile.empty()) {
    const std::string page = Page(drift, errors);
    const std::string temporary = htmlFile + ".tmp";
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      out << page;
      if (!out.flush()) throw CommandError("cannot write '" + htmlFile + "'");
    }
    if (std::rename(temporary.c_str(), htmlFile.c_str()) != 0) {
      std::remove(temporary.c_str());
      throw CommandError("cannot write '" + htmlFile + "'");
    }
  }
  if (json) {
    Json current = Json::MakeArray();
    for (const CurrentRow& row : drift.current) {
      current.Push(Json::Object{{"section", row.section},
                                {"id", row.id},
                                {"meaning", row.meaning},
                                {"value", row.value}});
    }
    Json errorList = Json::MakeArray();
    for (const std::string& line : errors) errorList.Push(line);
    PrintJson(Json::Object{{"drift", DriftJson(drift)},
                           {"auto_recover", drift.autoRecover},
                           {"start_protection", drift.startProtection},
                           {"sections", current},
                           {"desktop", RowsAsJson(drift.desktopIcons)},
                           {"startup_folders", RowsAsJson(drift.startupIcons)},
                           {"log_errors", errorList}});
  } else if (htmlFile.empty()) {
    std::cout << Page(drift, errors);
  }
}

}  // namespace

void AddReportCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client) {
  auto json = std::make_shared<bool>(false);
  auto html = std::make_shared<std::string>();
  CLI::App* report = app.add_subcommand(
      "report",
      "One PC's lock-down as a self-contained HTML page (no script, no external link): each "
      "section's rows, the drift marked, desktop and start programs, the log's last errors");
  report->add_option("--html", *html, "Write the page to this file of this computer");
  AddJsonFlag(report, json.get());
  report->footer("Example:\n  davhost report --html pc1.html\n  davhost report --json > pc1.json");
  report->callback([&context, client, json, html] { RunReport(context, *client, *html, *json); });
}

}  // namespace dav::host
