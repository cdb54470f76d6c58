#include "host/desktop_command.h"

#include <iostream>
#include <string>

#include "desktop/desktop_icon_manager.h"
#include "host/approve_command.h"
#include "host/icon_folder_places.h"
#include "host/icon_folder_table.h"
#include "host/json_option.h"
#include "host/text_table.h"
#include "util/log.h"
#include "util/mod_main.h"

namespace dav::host {
namespace {

std::string SpecialState(std::int16_t flag) {
  if (flag < 0) return "shown (cannot be hidden)";
  return flag == 0 ? "hidden" : "shown";
}

void RunDesktop(HostContext& context, const ClientOptions& client, bool json) {
  platform::Platform& pc = context.platform();
  const ClientSettings settings = client.Resolve(pc);
  util::Log log(pc, settings.ComponentFolder());
  const std::string storeKey = DesktopIconStoreKey(settings);
  desktop::DesktopIconManager icons(log, storeKey);

  // The desktop folder set as the component's start makes it (which also makes the backup
  // folder when it is missing).
  const auto [user, common, backup] = DesktopFolderPlaces(log, settings, modMain::UF_IsWinNT(log));
  const std::vector<std::string> filter = icons.LoadFilteringList();
  icons.SetIconFolders(user, common, backup, filter, desktop::kModeDesktop);
  const bool autoRecover = icons.EnableAutoRecover();
  desktop::IconList specials;
  icons.LoadSpecialIcons(specials, autoRecover);
  if (json) {
    Json specialList = Json::MakeArray();
    for (const auto& icon : specials) {
      specialList.Push(
          Json::Object{{"name", icon.diFileName}, {"state", SpecialState(icon.diFlag)}});
    }
    Json neverTouched = Json::MakeArray();
    for (const std::string& name : filter) neverTouched.Push(name);
    PrintJson(
        Json::Object{{"auto_recover", autoRecover},
                     {"user_desktop", user},
                     {"all_users_desktop", common},
                     {"backup", backup},
                     {"special_icons", specialList},
                     {"icons", RowsAsJson(IconFolderRows(icons, user, common, backup,
                                                         desktop::kModeDesktop, autoRecover))},
                     {"never_touched", neverTouched}});
    return;
  }

  std::cout << FormatTable({{"Auto recover", autoRecover ? "on: the next start puts the desktop "
                                                           "back as approved"
                                                         : "off: the next start changes nothing"},
                            {"User desktop", user.empty() ? "-" : user},
                            {"All users desktop", common.empty() ? "-" : common},
                            {"Backup", backup}},
                           0);

  // With auto recover on, the component applies the stored choice of the special icons.
  std::vector<TableRow> rows{{"Special icon", "State"}};
  for (const auto& icon : specials) rows.push_back({icon.diFileName, SpecialState(icon.diFlag)});
  std::cout << "\n" << FormatTable(rows, 0);

  rows = IconFolderRows(icons, user, common, backup, desktop::kModeDesktop, autoRecover);
  std::cout << "\n" << FormatTable(rows, 0);
  if (!filter.empty()) {
    std::string names;
    for (const std::string& name : filter) names += (names.empty() ? "" : ", ") + name;
    std::cout << "\nNever touched: " << VisibleText(names) << "\n";
  }
}

}  // namespace

void AddDesktopCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client) {
  auto json = std::make_shared<bool>(false);
  CLI::App* desktop = app.add_subcommand(
      "desktop",
      "List the desktop as the component sees it: auto recover, the special icons and every "
      "icon file with its approval and what the next start does to it");
  AddJsonFlag(desktop, json.get());
  desktop->callback([&context, client, json, desktop] {
    if (desktop->get_subcommands().empty()) RunDesktop(context, *client, *json);
  });
  AddApproveCommand(*desktop, ApprovalKind::kDesktop, context, client);
}

}  // namespace dav::host
