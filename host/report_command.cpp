#include "host/report_command.h"

#include <iostream>
#include <set>

#include "host/command_error.h"
#include "host/component_run.h"
#include "host/drift_check.h"
#include "host/drift_command.h"
#include "host/host_files.h"
#include "host/html_page.h"
#include "host/json_option.h"
#include "registry/md_registry.h"
#include "util/date_format.h"
#include "util/log.h"
#include "util/xml_escape.h"

namespace dav::host {
namespace {

// The computer's name as Windows keeps it; empty when the registry does not hold it (a new
// simulated PC).
std::string ComputerName(platform::Platform& pc, const ClientSettings& settings) {
  util::Log log(pc, settings.ComponentFolder());
  return mdRegistry(log).ReadString(
      platform::kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
      "ComputerName", "");
}

// The last error lines of the component's log and debug log of today.
std::vector<std::string> LastErrors(platform::Platform& pc, const ClientSettings& settings) {
  util::Log log(pc, settings.ComponentFolder());
  std::vector<std::string> errors;
  for (const std::string& path : {log.LogFilePath(), log.DebugLogPath()}) {
    CollectLoggedErrors(pc, path, 0, &errors);
  }
  constexpr std::size_t kKept = 20;
  if (errors.size() > kKept) errors.erase(errors.begin(), errors.end() - kKept);
  return errors;
}

// Who and when, at the head of the page and in the JSON.
struct ReportHead {
  std::string computer;
  std::string time;
};

std::string Page(const ReportHead& head, const DriftResult& drift,
                 const std::vector<std::string>& errors) {
  std::string page = HtmlPageStart("Lock-down report");
  page += "<p>" + util::EscapeHtml(head.computer.empty() ? "This PC" : head.computer) + ", " +
          util::EscapeHtml(head.time) + ".</p>\n";
  page += drift.InStep() ? "<p class=\"ok\">In step with the saved documents.</p>\n"
                         : "<p class=\"bad\">" + std::to_string(drift.Count()) +
                               " drifted from the saved documents.</p>\n";
  std::vector<TableRow> documents{{"Document", "State"}};
  for (const SavedDocument& doc : drift.documents) documents.push_back({doc.file, doc.state});
  AppendHtmlTable(page, documents);

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
  AppendHtmlTable(page, rows, marked);

  const auto iconTable = [&](const char* title, const std::vector<TableRow>& table,
                             const char* where) {
    std::set<std::size_t> drifted;
    for (std::size_t i = 1; i < table.size(); ++i) {
      for (const IconDrift& icon : drift.icons) {
        if (icon.where == where && icon.file == table[i][1]) drifted.insert(i);
      }
    }
    page += std::string("<h2>") + title + "</h2>\n";
    AppendHtmlTable(page, table, drifted);
  };
  page += "<p>Desktop auto recover: " + std::string(drift.autoRecover ? "on" : "off") +
          ". Start program protection: " + (drift.startProtection ? "on" : "off") + ".</p>\n";
  iconTable("Desktop", drift.desktopIcons, "desktop");
  iconTable("Start-up folders", drift.startupIcons, "start-up");
  std::vector<TableRow> special{{"Special icon", "State", "Next start"}};
  std::set<std::size_t> specialDrift;
  for (const IconDrift& icon : drift.icons) {
    if (icon.where != kSpecialIcon) continue;
    specialDrift.insert(special.size());
    special.push_back({icon.file, icon.state, icon.nextStart});
  }
  if (!specialDrift.empty()) {
    page += "<h2>Special desktop icons not as applied</h2>\n";
    AppendHtmlTable(page, special, specialDrift);
  }
  const std::vector<TableRow> run = DriftedRunTable(drift);
  page += "<h2>Start programs the next start moves</h2>\n";
  std::set<std::size_t> all;
  for (std::size_t i = 1; i < run.size(); ++i) all.insert(i);
  AppendHtmlTable(page, run, all);

  page += "<h2>Last errors of the component's log</h2>\n";
  if (errors.empty()) page += "<p>None today.</p>\n";
  for (const std::string& line : errors) page += "<pre>" + util::EscapeHtml(line) + "</pre>\n";
  return page + std::string(kHtmlPageEnd);
}

void RunReport(HostContext& context, const ClientOptions& client, const std::string& htmlFile,
               bool json) {
  platform::Platform& pc = context.platform();
  const ClientSettings settings = client.Resolve(pc);
  const DriftResult drift = ReadDrift(pc, settings);
  const std::vector<std::string> errors = LastErrors(pc, settings);
  const ReportHead head{ComputerName(pc, settings), util::FormatLogStamp(pc.clock().Now())};
  if (!htmlFile.empty()) {
    std::string error;
    if (!WriteHostFile(htmlFile, Page(head, drift, errors), &error)) {
      throw CommandError(error);
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
    PrintJson(Json::Object{{"computer", head.computer},
                           {"time", head.time},
                           {"drift", DriftJson(drift)},
                           {"auto_recover", drift.autoRecover},
                           {"start_protection", drift.startProtection},
                           {"sections", current},
                           {"desktop", RowsAsJson(drift.desktopIcons)},
                           {"startup_folders", RowsAsJson(drift.startupIcons)},
                           {"log_errors", errorList}});
  } else if (htmlFile.empty()) {
    std::cout << Page(head, drift, errors);
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
