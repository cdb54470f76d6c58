#include "host/room_command.h"

#include <iostream>
#include <memory>

#include "host/command_error.h"
#include "host/host_files.h"
#include "host/room_page.h"
#include "host/room_reports.h"
#include "host/text_table.h"

namespace dav::host {
namespace {

struct RoomReportOptions {
  std::string html;
  std::vector<std::string> reports;
};

void RunRoomReport(const RoomReportOptions& options) {
  std::vector<PcReport> reports;
  try {
    reports = ReadReports(options.reports);
  } catch (const BadReportFile& e) {
    std::cerr << "davhost: " << VisibleText(e.what()) << "\n";
    throw CommandExit(kRoomBadReport);
  }
  const std::string page = RoomPage(reports);
  if (options.html.empty()) {
    std::cout << page;
    return;
  }
  std::string error;
  if (!WriteHostFile(options.html, page, &error)) throw CommandError(error);
}

}  // namespace

void AddRoomCommands(CLI::App& app) {
  CLI::App* room = app.add_subcommand("room", "Many PCs at once, from what each one reported");
  room->require_subcommand(1);
  auto options = std::make_shared<RoomReportOptions>();
  CLI::App* report = room->add_subcommand(
      "report",
      "The reports of many PCs (davhost report --json, however collected) on one self-contained "
      "page: a row per PC, a column per section, each PC's drift and errors below. Exit 2 for a "
      "report file that is missing, not JSON or not a report; nothing is written then");
  report->add_option("--html", options->html,
                     "Write the page to this file of this computer (default: print it)");
  report
      ->add_option("reports", options->reports,
                   "Report files (REPORT.json), or folders whose *.json files are reports")
      ->required();
  report->footer(
      "Example:\n  davhost room report --html room.html reports/\n"
      "  davhost room report --html room.html pc1.json pc2.json");
  report->callback([options] { RunRoomReport(*options); });
}

}  // namespace dav::host
