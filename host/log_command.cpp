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
  std::string date;  // yymmdd; empty for today
  CLI::Option* dateOption = nullptr;
};

local_days ParseShortDay(const std::string& text) {
  const bool digits = text.size() == 6 && text.find_first_not_of("0123456789") == std::string::npos;
  if (digits) {
    const std::chrono::year_month_day day{
        std::chrono::year{2000 + std::stoi(text.substr(0, 2))},
        std::chrono::month{unsigned(std::stoi(text.substr(2, 2)))},
        std::chrono::day{unsigned(std::stoi(text.substr(4, 2)))}};
    if (day.ok()) return local_days{day};
  }
  throw CommandError("--date needs a day as yymmdd, such as 261208, not '" + text + "'");
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
                             : ParseShortDay(options.date);
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
  options->dateOption =
      log->add_option("--date", options->date, "The day as yymmdd (default: today on the PC)");
  log->callback([&context, client, options] { RunLog(context, *client, *options); });
}

}  // namespace dav::host
