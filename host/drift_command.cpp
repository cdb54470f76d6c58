#include "host/drift_command.h"

#include <iostream>

#include "host/command_error.h"
#include "host/drift_check.h"
#include "host/json_option.h"
#include "host/text_table.h"

namespace dav::host {
namespace {

// drift --json: {"in_step", "drifted", "documents": [{"file", "state"}], "rows": [{"section",
// "id", "meaning", "applied", "now"}], "icons": [{"where", "file", "state", "next_start"}],
// "run_entries": [{"key", "name", "command", "next_start"}]}
}  // namespace

Json DriftJson(const DriftResult& drift) {
  Json documents = Json::MakeArray();
  for (const SavedDocument& doc : drift.documents) {
    documents.Push(Json::Object{{"file", doc.file}, {"state", doc.state}});
  }
  Json rows = Json::MakeArray();
  for (const RowDrift& row : drift.rows) {
    rows.Push(Json::Object{{"section", row.section},
                           {"id", row.id},
                           {"meaning", row.meaning},
                           {"applied", row.applied},
                           {"now", row.now}});
  }
  Json icons = Json::MakeArray();
  for (const IconDrift& icon : drift.icons) {
    icons.Push(Json::Object{{"where", icon.where},
                            {"file", icon.file},
                            {"state", icon.state},
                            {"next_start", icon.nextStart}});
  }
  Json run = Json::MakeArray();
  for (const RunDrift& entry : drift.runEntries) {
    run.Push(Json::Object{{"key", entry.key},
                          {"name", entry.name},
                          {"command", entry.command},
                          {"next_start", entry.nextStart}});
  }
  return Json::Object{{"in_step", drift.InStep()},
                      {"drifted", drift.Count()},
                      {"documents", documents},
                      {"rows", rows},
                      {"icons", icons},
                      {"run_entries", run}};
}

std::vector<TableRow> DriftedRowsTable(const DriftResult& drift) {
  std::vector<TableRow> rows{{"Section", "Row", "Meaning", "Applied", "Now"}};
  for (const RowDrift& row : drift.rows) {
    rows.push_back(
        {row.section, row.id, row.meaning.empty() ? "-" : row.meaning, row.applied, row.now});
  }
  return rows;
}

std::vector<TableRow> DriftedIconsTable(const DriftResult& drift) {
  std::vector<TableRow> rows{{"Where", "File", "State", "Next start"}};
  for (const IconDrift& icon : drift.icons) {
    rows.push_back({icon.where, icon.file, icon.state, icon.nextStart});
  }
  return rows;
}

std::vector<TableRow> DriftedRunTable(const DriftResult& drift) {
  std::vector<TableRow> rows{{"Key", "Name", "Next start", "Command"}};
  for (const RunDrift& entry : drift.runEntries) {
    rows.push_back({entry.key, entry.name, entry.nextStart, entry.command});
  }
  return rows;
}

namespace {

void PrintDrift(const DriftResult& drift) {
  std::vector<TableRow> documents{{"Document", "State"}};
  for (const SavedDocument& doc : drift.documents) documents.push_back({doc.file, doc.state});
  std::cout << FormatTable(documents, 0);
  if (!drift.rows.empty()) std::cout << "\nRows\n" << FormatTable(DriftedRowsTable(drift), 2);
  if (!drift.icons.empty()) std::cout << "\nIcons\n" << FormatTable(DriftedIconsTable(drift), 2);
  if (!drift.runEntries.empty()) {
    std::cout << "\nStart programs\n" << FormatTable(DriftedRunTable(drift), 2);
  }
  std::cout << "\n"
            << (drift.InStep() ? std::string("In step with the saved documents.")
                               : std::to_string(drift.Count()) + " drifted.")
            << "\n";
}

void RunDriftCommand(HostContext& context, const ClientOptions& client, bool json) {
  platform::Platform& pc = context.platform();
  const DriftResult drift = ReadDrift(pc, client.Resolve(pc));
  if (!drift.anyRead) {
    std::cerr << "davhost: no saved document to compare with in the component folder\n";
    throw CommandExit(kDriftNothingRead);
  }
  if (json) {
    PrintJson(DriftJson(drift));
  } else {
    PrintDrift(drift);
  }
  if (!drift.InStep()) throw CommandExit(kDriftFound);
}

}  // namespace

void AddDriftCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client) {
  auto json = std::make_shared<bool>(false);
  CLI::App* drift = app.add_subcommand(
      "drift",
      "Compare the PC with the documents the component last applied, without starting it: rows "
      "whose value changed, icons not approved or missing, Run entries the next start moves. "
      "Exit 0 in step, 1 drifted, 2 nothing to compare with");
  AddJsonFlag(drift, json.get());
  drift->footer("Example:\n  davhost drift --machine pc1\n  davhost drift --json");
  drift->callback([&context, client, json] { RunDriftCommand(context, *client, *json); });
}

}  // namespace dav::host
