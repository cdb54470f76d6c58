#include "host/event_commands.h"

#include <charconv>
#include <cstdint>
#include <iostream>
#include <memory>

#include "host/command_error.h"
#include "host/json_option.h"
#include "host/text_table.h"
#include "platform/sim/machine.h"

namespace dav::host {
namespace {

// The --since argument: a whole number of 0 or more that fits the journal's numbering.
std::int64_t ParseSince(const std::string& text) {
  std::int64_t since = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, since);
  if (text.empty() || text.front() == '-' || error != std::errc() || stop != end) {
    throw CommandError("--since needs a whole number of 0 or more (an event number), not '" +
                       VisibleText(text) + "'");
  }
  return since;
}

void RunEvents(HostContext& context, const std::string& sinceText, bool json) {
  const std::int64_t since = ParseSince(sinceText);
  auto* machine = dynamic_cast<platform::sim::Machine*>(&context.platform());
  if (machine == nullptr) throw CommandError("events needs the simulated PC");
  std::vector<TableRow> rows;
  Json events = Json::MakeArray();
  for (const auto& event : machine->Events(since)) {
    rows.push_back({std::to_string(event.sequence), event.time, event.kind, event.detail});
    events.Push(Json::Object{{"sequence", static_cast<long long>(event.sequence)},
                             {"time", event.time},
                             {"kind", event.kind},
                             {"detail", event.detail}});
  }
  if (json) {
    PrintJson(Json::Object{{"events", events}});
  } else {
    std::cout << FormatTable(rows, 0, {0});
  }
}

}  // namespace

void AddEventCommands(CLI::App& app, HostContext& context) {
  auto since = std::make_shared<std::string>("0");
  CLI::App* events = app.add_subcommand(
      "events",
      "Show the machine's event journal: display changes, process starts and ends, window "
      "closes, shell notifications, message boxes");
  events->add_option("--since", *since, "Only events after this sequence number");
  auto json = std::make_shared<bool>(false);
  AddJsonFlag(events, json.get());
  events->callback([&context, since, json] { RunEvents(context, *since, *json); });
}

}  // namespace dav::host
