#include "host/startup_command.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <map>

#include "desktop/icon_folders.h"
#include "host/approve_command.h"
#include "host/icon_folder_places.h"
#include "host/icon_folder_table.h"
#include "host/json_option.h"
#include "host/text_table.h"
#include "registry/md_spm.h"
#include "registry/opened_key.h"
#include "startup/start_program_manager.h"
#include "util/log.h"
#include "util/mod_main.h"

namespace dav::host {
namespace {

using Manager = startup::StartProgramManager;

// Where one name of a live key turns up, and its command line (the live one first).
struct NameRow {
  bool run = false;
  bool start = false;
  bool off = false;
  bool switchedOff = false;
  std::string command;
};

// Names as the registry compares them, without regard to letter case.
struct NameOrder {
  bool operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) <
             std::tolower(static_cast<unsigned char>(y));
    });
  }
};
using NameRows = std::map<std::string, NameRow, NameOrder>;

void Mark(NameRows& rows, const std::vector<Manager::Entry>& entries, bool NameRow::*where) {
  for (const Manager::Entry& entry : entries) {
    NameRow& row = rows[entry.name];
    row.*where = true;
    if (row.command.empty()) row.command = entry.data;
  }
}

std::string Yes(bool flag) {
  return flag ? "yes" : "-";
}

// What the next start does to a name of a live key. With protection on it forces the key
// towards the start list: a name the list lacks goes to the off list (the client's own
// programs excepted), a listed name that has gone is put back. Off, it takes the key's names
// into the start list as they are.
std::string NextStart(const NameRow& row, bool own, bool enforced) {
  if (enforced) {
    if (row.run) return row.start || own ? "kept" : "to the off list";
    return row.start ? "put back" : "-";
  }
  if (!row.run) return "-";
  return row.start ? "kept" : "into the start list";
}

std::string ProtectionText(bool storeExists, bool on) {
  if (!storeExists) {
    return "no store yet: the next start makes one, unprotected, from the Run keys";
  }
  return on ? "on: every start forces the Run keys towards the start list, switching off "
              "what it lacks"
            : "off: every start takes the Run keys into the start list as they are";
}

// The start-up folders' icons with their approval (a copy in the backup folder) and what
// the next start does to them: with protection on it keeps the approved ones, deletes the
// others and restores approved ones that have gone.
// Prints the start-up folders, or with json given sets its "startup_folders".
void ShowStartupFolders(util::Log& log, const ClientSettings& settings, bool isWinNT, bool enforced,
                        Json* json) {
  desktop::IconFolders icons(log);
  // The folder set as the component's start makes it (which also makes the backup folder
  // when it is missing).
  const auto [user, common, backup] = StartupFolderPlaces(log, settings, isWinNT);
  icons.SetIconFolders(user, common, backup, {"desktop.ini"}, desktop::kModeStartup);

  const std::vector<TableRow> rows =
      IconFolderRows(icons, user, common, backup, desktop::kModeStartup, enforced);
  if (json) {
    json->Set("startup_folders", Json::Object{{"user", user},
                                              {"all_users", common},
                                              {"backup", backup},
                                              {"icons", RowsAsJson(rows)}});
    return;
  }
  std::cout << "\nStart-up folders  user " << (user.empty() ? "-" : user) << ", all users "
            << (common.empty() ? "-" : common) << ", backup " << backup << "\n";
  if (rows.size() == 1) {
    std::cout << "  (no icons)\n";
  } else {
    std::cout << FormatTable(rows, 2);
  }
}

// startup --json: {"protection": {"store", "on"}, "keys": [{"label", "key", "entries":
// [{"name", "own", "run", "start_list", "off_list", "switched_off", "command", "next_start"}]}],
// "startup_folders": {"user", "all_users", "backup", "icons"}, "other_records": [{"name",
// "hkey", "key", "command"}]}
void RunStartup(HostContext& context, const ClientOptions& client, bool json) {
  Json doc = Json::MakeObject();
  Json keys = Json::MakeArray();
  platform::Platform& platform = context.platform();
  const ClientSettings settings = client.Resolve(platform);
  util::Log log(platform, settings.ComponentFolder());
  const bool isWinNT = modMain::UF_IsWinNT(log);
  const startup::StorePlaces places = startup::StorePlacesOf(settings.registryKey);
  Manager spm(log, places, isWinNT);
  mdSPM registry(log);
  const bool storeExists = static_cast<bool>(OpenedKey(
      platform.registry(), registry.GetRegHKey(platform::kHKeyLocalMachine, places.storeKey)));

  if (json) {
    doc.Set("protection",
            Json::Object{{"store", storeExists}, {"on", storeExists && spm.EnableOpt()}});
  } else {
    std::cout << "Protection  " << ProtectionText(storeExists, spm.EnableOpt()) << "\n";
  }
  const std::vector<Manager::SwitchedOff> records =
      isWinNT ? spm.SwitchedOffRecords() : std::vector<Manager::SwitchedOff>{};
  bool anyProtected = false;
  const bool enforced = storeExists && spm.EnableOpt();
  for (const startup::LiveKey& live : startup::kLiveKeys) {
    NameRows rows;
    Mark(rows, spm.Entries(live.hive, live.path), &NameRow::run);
    Mark(rows, spm.Entries(platform::kHKeyLocalMachine, startup::ListOf(places.startListKey, live)),
         &NameRow::start);
    Mark(rows, spm.Entries(platform::kHKeyLocalMachine, startup::ListOf(places.offListKey, live)),
         &NameRow::off);
    if (isWinNT) {
      for (const Manager::SwitchedOff& record : records) {
        if (record.live != &live) continue;
        NameRow& row = rows[record.name];
        row.switchedOff = true;
        if (row.command.empty()) row.command = record.command;
      }
    } else {
      Mark(rows, spm.Entries(live.hive, live.disabledPath), &NameRow::switchedOff);
    }

    const std::string keyPath =
        std::string(live.hive == platform::kHKeyLocalMachine ? "HKLM" : "HKCU") + "\\" +
        std::string(live.path);
    if (json) {
      Json entries = Json::MakeArray();
      for (const auto& [name, row] : rows) {
        entries.Push(
            Json::Object{{"name", name},
                         {"own", mdSPM::IsProtectedEntry(name)},
                         {"run", row.run},
                         {"start_list", row.start},
                         {"off_list", row.off},
                         {"switched_off", row.switchedOff},
                         {"command", row.command},
                         {"next_start", NextStart(row, mdSPM::IsProtectedEntry(name), enforced)}});
      }
      keys.Push(
          Json::Object{{"label", std::string(live.label)}, {"key", keyPath}, {"entries", entries}});
      continue;
    }
    std::cout << "\n" << live.label << "  " << keyPath << "\n";
    if (rows.empty()) {
      std::cout << "  (no entries)\n";
      continue;
    }
    std::vector<TableRow> table = {{"Name", "Run", "Start list", "Off list",
                                    isWinNT ? "startupreg" : "Run-", "Next start", "Command"}};
    for (const auto& [name, row] : rows) {
      const bool own = mdSPM::IsProtectedEntry(name);
      anyProtected = anyProtected || own;
      table.push_back({name + (own ? " *" : ""), Yes(row.run), Yes(row.start), Yes(row.off),
                       Yes(row.switchedOff), NextStart(row, own, enforced), row.command});
    }
    std::cout << FormatTable(table, 2);
  }
  if (anyProtected) std::cout << "\n* the client's own program: never taken out of Run\n";

  ShowStartupFolders(log, settings, isWinNT, enforced, json ? &doc : nullptr);

  std::vector<TableRow> unmanaged;
  for (const Manager::SwitchedOff& record : records) {
    if (!record.live) unmanaged.push_back({record.name, record.hkey, record.key, record.command});
  }
  unmanaged.insert(unmanaged.begin(), {"Name", "hkey", "key", "command"});
  if (json) {
    doc.Set("keys", keys);
    doc.Set("other_records", RowsAsJson(unmanaged));
    Json ordered = Json::Object{{"protection", doc["protection"]},
                                {"keys", doc["keys"]},
                                {"startup_folders", doc["startup_folders"]},
                                {"other_records", doc["other_records"]}};
    PrintJson(ordered);
    return;
  }
  if (unmanaged.size() > 1) {
    std::cout << "\nstartupreg records of other keys (left alone)\n";
    std::cout << FormatTable(unmanaged, 2);
  }
}

}  // namespace

void AddStartupCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client) {
  auto json = std::make_shared<bool>(false);
  CLI::App* startup = app.add_subcommand(
      "startup",
      "Show the programs that start with Windows: the Run keys, the component's start and off "
      "lists, the switched-off entries and whether protection enforces the lists at the next "
      "start");
  AddJsonFlag(startup, json.get());
  startup->callback([&context, client, json, startup] {
    if (startup->get_subcommands().empty()) RunStartup(context, *client, *json);
  });
  AddApproveCommand(*startup, ApprovalKind::kStartup, context, client);
}

}  // namespace dav::host
