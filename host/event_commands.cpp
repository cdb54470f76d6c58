#include "host/event_commands.h"

#include <iostream>
#include <memory>

#include "host/command_error.h"
#include "host/text_table.h"
#include "platform/sim/machine.h"

namespace dav::host {
namespace {

void RunEvents(HostContext& context, std::int64_t since) {
  auto* machine = dynamic_cast<platform::sim::Machine*>(&context.platform());
  if (machine == nullptr) throw CommandError("events needs the simulated PC");
  std::vector<TableRow> rows;
  for (const auto& event : machine->Events(since)) {
    rows.push_back({std::to_string(event.sequence), event.time, event.kind, event.detail});
  }
  std::cout << FormatTable(rows, 0, {0});
}

}  // namespace

void AddEventCommands(CLI::App& app, HostContext& context) {
  auto since = std::make_shared<std::int64_t>(0);
  CLI::App* events = app.add_subcommand(
      "events",
      "Show the machine's event journal: display changes, process starts and ends, window "
      "closes, shell notifications, message boxes");
  events->add_option("--since", *since, "Only events after this sequence number")
      ->check(CLI::NonNegativeNumber);
  events->callback([&context, since] { RunEvents(context, *since); });
}

}  // namespace dav::host
