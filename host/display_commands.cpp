#include "host/display_commands.h"

#include <iostream>
#include <memory>

#include "display/cls_available_info.h"
#include "host/command_error.h"
#include "host/display_mode_text.h"
#include "host/json_option.h"
#include "host/text_table.h"

namespace dav::host {
namespace {

DisplayModeText ModeInUse(clsAvailableInfo& info) {
  DisplayModeText mode;
  std::int16_t refresh = 0;
  info.GetInitScreenInfo(mode.width, mode.height, mode.bits, refresh);
  mode.refresh = refresh;
  return mode;
}

std::string JoinRates(const std::vector<std::int32_t>& rates) {
  std::string text;
  for (const std::int32_t rate : rates) text += (text.empty() ? "" : ", ") + std::to_string(rate);
  return text;
}

Json ModeJson(const DisplayModeText& mode) {
  return Json::Object{{"width", mode.width},
                      {"height", mode.height},
                      {"bits", static_cast<int>(mode.bits)},
                      {"refresh", mode.refresh}};
}

void RunList(HostContext& context, bool json) {
  platform::Platform& pc = context.platform();
  clsAvailableInfo info(pc.display(), pc.clock());
  const DisplayModeText current = ModeInUse(info);
  Json modes = Json::MakeArray();

  std::vector<TableRow> rows{{"Resolution", "Bits", "Refresh (Hz)"}};
  std::int32_t count = 0;
  const auto widths = info.GetResolutionW(count);
  const auto heights = info.GetResolutionH(count);
  for (std::int32_t i = 0; i < count; ++i) {
    std::string resolution = std::to_string(widths[i]) + "x" + std::to_string(heights[i]);
    std::int32_t depths = 0;
    const auto bits = info.GetColorBit(widths[i], heights[i], depths);
    if (depths == 0) rows.push_back({resolution, "-", "-"});
    for (std::int32_t d = 0; d < depths; ++d) {
      std::int32_t rates = 0;
      const auto refresh = info.GetRefresh(widths[i], heights[i], bits[d], rates);
      rows.push_back({resolution, std::to_string(bits[d]), JoinRates(refresh)});
      resolution.clear();  // once per resolution
      Json rateList = Json::MakeArray();
      for (const std::int32_t rate : refresh) rateList.Push(rate);
      modes.Push(Json::Object{{"width", widths[i]},
                              {"height", heights[i]},
                              {"bits", bits[d]},
                              {"refresh_rates", rateList}});
    }
  }
  if (json) {
    PrintJson(Json::Object{{"current", ModeJson(current)}, {"modes", modes}});
    return;
  }
  std::cout << "Current  " << FormatDisplayMode(current) << "\n\n";
  std::cout << FormatTable(rows, 2, {1});
}

void RunSet(HostContext& context, const std::string& text) {
  DisplayModeText wanted;
  if (!ParseDisplayMode(text, &wanted)) {
    throw CommandError("a display mode is WIDTHxHEIGHTxBITS@HZ, such as 1024x768x32@60, not '" +
                       text + "'");
  }
  platform::Platform& pc = context.platform();
  clsAvailableInfo info(pc.display(), pc.clock());
  info.SetDisplayChange(wanted.width, wanted.height, wanted.bits, wanted.refresh);
  // The change itself reports nothing; what the display shows afterwards tells.
  const DisplayModeText now = ModeInUse(info);
  if (now.width != wanted.width || now.height != wanted.height || now.bits != wanted.bits ||
      (wanted.refresh > 1 && now.refresh != wanted.refresh)) {
    throw CommandError("the display adapter refused " + FormatDisplayMode(wanted) +
                       "; the display stays at " + FormatDisplayMode(now));
  }
  std::cout << "Display mode " << FormatDisplayMode(now) << "\n";
}

}  // namespace

void AddDisplayCommands(CLI::App& app, HostContext& context) {
  CLI::App* display = app.add_subcommand(
      "display", "List the display modes as the component's catalogue has them, and the current");
  auto json = std::make_shared<bool>(false);
  AddJsonFlag(display, json.get());
  display->callback([&context, display, json] {
    if (display->get_subcommands().empty()) RunList(context, *json);
  });
  auto mode = std::make_shared<std::string>();
  CLI::App* set = display->add_subcommand(
      "set", "Change the display mode as the component does (kept for the next start)");
  set->add_option("mode", *mode, "WIDTHxHEIGHTxBITS@HZ, such as 1024x768x32@60")->required();
  set->callback([&context, mode] { RunSet(context, *mode); });
}

}  // namespace dav::host
