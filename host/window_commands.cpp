#include "host/window_commands.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include "host/command_error.h"
#include "host/json_option.h"
#include "host/text_table.h"
#if DAV_PLATFORM_SIM
#include "platform/sim/machine.h"
#endif

namespace dav::host {
namespace {

std::string HandleText(platform::WindowHandle window) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(window));
  return text;
}

void RunClose(HostContext& context, const std::string& title) {
  platform::TopLevelWindows& windows = context.platform().windows();
  const platform::WindowHandle window = windows.FindByTitle(title);
  if (window == platform::kNoWindow) throw CommandError("no window titled '" + title + "'");
  windows.SendClose(window);
  std::cout << "Sent WM_CLOSE to window " << HandleText(window) << "\n";
}

#if DAV_PLATFORM_SIM
platform::sim::Machine& MachineOf(HostContext& context) {
  auto* machine = dynamic_cast<platform::sim::Machine*>(&context.platform());
  if (machine == nullptr) throw CommandError("this command needs the simulated PC");
  return *machine;
}

void RunList(HostContext& context, bool json) {
  std::vector<TableRow> rows{{"Handle", "PID", "Class", "Title"}};
  Json windows = Json::MakeArray();
  for (const auto& window : MachineOf(context).TopWindows()) {
    rows.push_back({HandleText(window.handle), std::to_string(window.processId), window.className,
                    window.title.empty() ? "(no title)" : "\"" + window.title + "\""});
    windows.Push(Json::Object{{"handle", HandleText(window.handle)},
                              {"pid", window.processId},
                              {"class", window.className},
                              {"title", window.title}});
  }
  if (json) {
    PrintJson(Json::Object{{"windows", windows}});
  } else {
    std::cout << FormatTable(rows, 0, {1});
  }
}

struct OpenOptions {
  std::string title;
  std::string className = "#32770";  // the dialog class of property sheets
  std::uint32_t processId = 0;       // 0: the shell's
};

void RunOpen(HostContext& context, const OpenOptions& options) {
  platform::sim::Machine& machine = MachineOf(context);
  std::uint32_t owner = options.processId;
  if (owner == 0) {
    for (const auto& process : machine.RunningProcesses()) {
      if (process.isShell) owner = process.processId;
    }
  }
  try {
    const platform::WindowHandle window =
        machine.OpenWindow(options.title, options.className, owner);
    std::cout << "Opened window " << HandleText(window) << " of process " << owner << "\n";
  } catch (const platform::PlatformError& e) {
    throw CommandError(std::string("cannot open the window: ") + e.what());
  }
}
#endif

}  // namespace

void AddWindowCommands(CLI::App& app, HostContext& context) {
#if DAV_PLATFORM_SIM
  CLI::App* windows = app.add_subcommand("windows", "List the top-level windows");
  auto listJson = std::make_shared<bool>(false);
  windows->callback([&context, windows, listJson] {
    if (windows->get_subcommands().empty()) RunList(context, *listJson);
  });
  AddJsonFlag(windows, listJson.get());
  auto open = std::make_shared<OpenOptions>();
  CLI::App* openCommand =
      windows->add_subcommand("open", "Open a top-level window on the simulated PC");
  openCommand->add_option("title", open->title, "The window's title")->required();
  openCommand->add_option("--class", open->className, "Its window class (default #32770)");
  openCommand->add_option("--pid", open->processId,
                          "The process it belongs to (default: the shell)");
  openCommand->callback([&context, open] { RunOpen(context, *open); });
#else
  CLI::App* windows =
      app.add_subcommand("windows", "Close top-level windows as the component does");
  windows->require_subcommand(1);
#endif
  auto title = std::make_shared<std::string>();
  CLI::App* close = windows->add_subcommand(
      "close", "Send WM_CLOSE to the top-level window with this title, as the component does");
  close->add_option("title", *title, "The whole title (letter case is ignored)")->required();
  close->callback([&context, title] { RunClose(context, *title); });
}

}  // namespace dav::host
