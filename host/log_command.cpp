#include "host/log_command.h"

#include <chrono>
#include <iostream>

#include "host/command_error.h"
#include "host/status_text.h"
#include "util/ansi_text.h"
#include "util/date_format.h"

namespace dav::host {
namespace {

using std::chrono::local_days;

struct LogOptions {
  bool debug = false;
  std::string date;  // yymmdd or yyyy-mm-dd; empty for today
  CLI::Option* dateOption = nullptr;
};

bool AllDigits(const std::string& text) {
  return text.find_first_not_of("0123456789") == std::string::npos;
}

// yymmdd (the log file's own form) or yyyy-mm-dd (the debug log's).
local_days ParseDay(const std::string& text) {
  const bool shortForm = text.size() == 6 && AllDigits(text);
  const bool isoForm = text.size() == 10 && text[4] == '-' && text[7] == '-' &&
                       AllDigits(text.substr(0, 4)) && AllDigits(text.substr(5, 2)) &&
                       AllDigits(text.substr(8, 2));
  if (shortForm || isoForm) {
    const std::size_t m = shortForm ? 2 : 5;
    const std::size_t d = shortForm ? 4 : 8;
    const int year = shortForm ? 2000 + std::stoi(text.substr(0, 2)) : std::stoi(text.substr(0, 4));
    const std::chrono::year_month_day day{
        std::chrono::year{year}, std::chrono::month{unsigned(std::stoi(text.substr(m, 2)))},
        std::chrono::day{unsigned(std::stoi(text.substr(d, 2)))}};
    if (day.ok()) return local_days{day};
  }
  throw CommandError(
      "--date needs a day as yymmdd or yyyy-mm-dd, such as 261208 or 2026-12-08, "
      "not '" +
      text + "'");
}

// Lines end CR LF in the file; a terminal wants LF.
std::string WithLineFeeds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

void RunLog(HostContext& context, const ClientOptions& client, const LogOptions& options) {
  platform::Platform& platform = context.platform();
  const std::string folder = client.Resolve(platform).ComponentFolder();
  if (options.dateOption->count() > 0 && options.date.empty()) {
    throw CommandError("--date must not be empty (leave it out for today)");
  }
  const local_days day = options.date.empty()
                             ? std::chrono::floor<std::chrono::days>(platform.clock().Now())
                             : ParseDay(options.date);
  // The names the log writers give their files (util/log.h).
  const std::string path =
      options.debug
          ? folder + "\\New_Debug_" + util::FormatIsoDay(day) + ".log"
          : folder + "\\log\\DavIrizevez" + util::FormatShortDay(platform::LocalTime{day}) + ".log";
  std::string bytes;
  const platform::Status status = platform.files().ReadAll(path, &bytes);
  if (status == platform::kErrorFileNotFound || status == platform::kErrorPathNotFound) {
    throw CommandError(std::string(options.debug ? "no debug log" : "no log") + " of " +
                       util::FormatIsoDay(day) + ": '" + path + "' does not exist");
  }
  if (status != platform::kErrorSuccess) {
    throw CommandError("cannot read '" + path + "': " + StatusText(status));
  }
  std::cout << WithLineFeeds(util::FromAnsi(platform, bytes));
}

}  // namespace

void AddLogCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client) {
  auto options = std::make_shared<LogOptions>();
  CLI::App* log = app.add_subcommand(
      "log",
      "Print a day's log of the component's folder (client folder\\Components\\DavIrizevez)");
  log->add_flag("--debug", options->debug, "The debug log (New_Debug_yyyy-mm-dd.log) instead");
  options->dateOption = log->add_option(
      "--date", options->date, "The day as yymmdd or yyyy-mm-dd (default: today on the PC)");
  log->callback([&context, client, options] { RunLog(context, *client, *options); });
}

}  // namespace dav::host
