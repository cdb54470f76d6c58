#include "host/change_report.h"

#include <array>
#include <optional>

#include "catalogue/document_conventions.h"
#include "host/run_entry_moves.h"
#include "host/text_table.h"
#include "host/value_encoding.h"
#include "host/value_text.h"
#include "xml/document.h"

namespace dav::host {
namespace {

// Which rows of a document one applier call takes, in the order it takes them.
struct ApplierRows {
  std::string_view applier;
  std::string_view section;
  std::array<std::string_view, 2> paths;  // below DocRoot/Configuration/
};

constexpr ApplierRows kApplierRows[] = {
    {"GetXMLStartMenu_WinXP", "StartMenu", {"StartMenu/WinXP/Row", "StartMenu/WinOriginal/Row"}},
    {"GetXMLStartMenu_Win7", "StartMenu", {"StartMenu/Win7/Row", {}}},
    {"GetXMLWinSkill", "WinSkill", {"WinSkill/Row", {}}},
    {"GetXMLExplorerConfig", "ExplorerConfig", {"ExplorerConfig/Row", {}}},
    {"GetXMLFileOpt", "FileOpt", {"FileOpt/Row", {}}},
    {"GetXMLControlPanel", "ControlMngr", {"ControlMngr/WinXP/CPLList", "ControlMngr/WinXP/Row"}},
    {"GetXMLControlPanel", "ControlMngr", {"ControlMngr/Win7/CPLList", "ControlMngr/Win7/Row"}},
    {"GetXMLUsedAccess", "UsedAccess", {"UsedAccess/Row", {}}},
    {"GetXMLFolderAccess", "FolderAccess", {"FolderAccess/Row", {}}},
};

// The IDs of the rows the call takes, as written.
std::vector<std::string> CallIds(const xml::Document& doc, const ApplierRows& call) {
  std::vector<std::string> ids;
  for (std::string_view path : call.paths) {
    if (path.empty()) continue;
    for (const xml::Node& row : doc.selectNodes("DocRoot/Configuration/" + std::string(path))) {
      ids.push_back(row.attribute("ID").value_or("(no ID)"));
    }
  }
  return ids;
}

std::string Plural(std::size_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string DataText(std::uint32_t codePage, const std::optional<RegistryData>& data) {
  if (!data) return "(none)";
  return FormatValueData(data->type, DecodeValueData(codePage, data->type, data->data));
}

}  // namespace

Json ChangesJson(const MachineChanges& changes) {
  Json values = Json::MakeArray();
  for (const ValueChange& change : changes.ChangedValues()) {
    const auto data = [&](const std::optional<RegistryData>& d) -> Json {
      if (!d) return nullptr;
      return Json::Object{
          {"type", ValueTypeName(d->type)},
          {"data", FormatValueData(d->type, DecodeValueData(changes.codePage, d->type, d->data))}};
    };
    values.Push(Json::Object{{"key", change.key},
                             {"name", change.name},
                             {"before", data(change.before)},
                             {"after", data(change.after)}});
  }
  const auto list = [](const std::vector<std::string>& items) {
    Json array = Json::MakeArray();
    for (const std::string& item : items) array.Push(item);
    return array;
  };
  Json files = Json::MakeArray();
  for (const auto& [path, what] : changes.files) {
    files.Push(Json::Object{{"path", path}, {"what", what}});
  }
  Json ini = Json::MakeArray();
  for (const IniChange& entry : changes.ChangedIniKeys()) {
    ini.Push(Json::Object{{"file", entry.file},
                          {"section", entry.section},
                          {"key", entry.key},
                          {"before", entry.before},
                          {"after", entry.after ? Json(*entry.after) : Json(nullptr)}});
  }
  Json refused = Json::MakeArray();
  for (const RefusedWrite& write : changes.refused) {
    refused.Push(Json::Object{{"write", write.write}, {"reason", write.reason}});
  }
  return Json::Object{{"values", values},
                      {"keys_created", list(changes.keysCreated)},
                      {"keys_deleted", list(changes.keysDeleted)},
                      {"files", files},
                      {"ini", ini},
                      {"processes_started", list(changes.processesStarted)},
                      {"processes_ended", list(changes.processesEnded)},
                      {"windows_closed", list(changes.windowsClosed)},
                      {"display_changes", list(changes.displayChanges)},
                      {"display_refused", list(changes.displayRefused)},
                      {"refused_writes", refused}};
}

std::string AttributeError(const std::string& errorLine, const RowTrail& trail,
                           std::string_view document) {
  constexpr std::string_view kPrefix = "[err:modDavIrizevez.";
  const std::size_t at = errorLine.find(kPrefix);
  const std::size_t end = errorLine.find(']', at);
  if (at == std::string::npos || end == std::string::npos) return {};
  const std::string applier = errorLine.substr(at + kPrefix.size(), end - at - kPrefix.size());
  std::vector<std::string> applied;
  for (const RowTrail::Entry& entry : trail.entries) {
    if (entry.applier == applier) applied.push_back(entry.id);
  }
  xml::Document doc;
  const bool loaded = doc.loadXML(document.substr(0, document.find('\x1d')));
  for (const ApplierRows& call : kApplierRows) {
    if (call.applier != applier) continue;
    const std::vector<std::string> ids = loaded ? CallIds(doc, call) : std::vector<std::string>{};
    // The call whose rows begin with the rows the applier was told about.
    bool matches = applied.size() <= ids.size();
    for (std::size_t i = 0; matches && i < applied.size(); ++i) {
      matches = catalogue::LowerId(ids[i]) == applied[i];
    }
    if (!matches) continue;
    std::string text = std::string(call.section);
    if (applied.empty()) {
      text += ", before its first row";
    } else {
      text += " " + ids[applied.size() - 1];
    }
    text += ": " + errorLine.substr(at);
    std::string skipped;
    for (std::size_t i = applied.size(); i < ids.size(); ++i) {
      skipped += (skipped.empty() ? "" : ", ") + ids[i];
    }
    if (!skipped.empty()) text += ". Not applied: " + skipped + ".";
    return text;
  }
  return {};
}

std::string ChangeReport(const MachineChanges& changes, const std::vector<std::string>& errors,
                         const RowTrail& trail, std::string_view document, bool detailed) {
  const std::vector<ValueChange> values = changes.ChangedValues();
  std::size_t set = 0;
  for (const ValueChange& change : values) set += change.after.has_value();
  std::vector<std::string> counts = {
      Plural(set, "value set", "values set"), Plural(values.size() - set, "deleted", "deleted"),
      Plural(changes.keysCreated.size(), "key created", "keys created"),
      Plural(changes.files.size(), "file changed", "files changed"),
      Plural(changes.ChangedIniKeys().size(), "ini entry", "ini entries")};
  if (!changes.keysDeleted.empty()) {
    counts.push_back(Plural(changes.keysDeleted.size(), "key deleted", "keys deleted"));
  }
  for (std::string& move : RunEntryMoveCounts(changes)) counts.push_back(std::move(move));
  for (const std::string& process : changes.processesEnded) counts.push_back(process + " ended");
  for (const std::string& window : changes.windowsClosed) counts.push_back("closed: " + window);
  for (const std::string& mode : changes.displayChanges) counts.push_back("display: " + mode);
  if (!changes.refused.empty()) {
    counts.push_back(Plural(changes.refused.size(), "write refused", "writes refused"));
  }
  std::string text = "davhost: changes: ";
  for (std::size_t i = 0; i < counts.size(); ++i) text += (i ? ", " : "") + counts[i];
  text += "\n";
  if (detailed) {
    std::vector<TableRow> rows;
    for (const ValueChange& change : values) {
      rows.push_back({change.key, change.name.empty() ? "(Default)" : change.name,
                      DataText(changes.codePage, change.before) + " -> " +
                          DataText(changes.codePage, change.after)});
    }
    for (const std::string& key : changes.keysCreated) rows.push_back({key, "", "key created"});
    for (const std::string& key : changes.keysDeleted) rows.push_back({key, "", "key deleted"});
    for (const auto& [path, what] : changes.files) rows.push_back({path, "", what});
    for (const IniChange& entry : changes.ChangedIniKeys()) {
      rows.push_back(
          {entry.file, "[" + entry.section + "] " + entry.key,
           "\"" + entry.before + "\" -> " + (entry.after ? "\"" + *entry.after + "\"" : "(none)")});
    }
    for (const std::string& process : changes.processesStarted) {
      rows.push_back({process, "", "started"});
    }
    for (const std::string& process : changes.processesEnded)
      rows.push_back({process, "", "ended"});
    for (const std::string& window : changes.windowsClosed) {
      rows.push_back({window, "", "window closed"});
    }
    for (const std::string& mode : changes.displayChanges) {
      rows.push_back({"display", "", "mode set: " + mode});
    }
    for (const std::string& mode : changes.displayRefused) {
      rows.push_back({"display", "", "mode refused: " + mode});
    }
    for (const RefusedWrite& write : changes.refused) {
      rows.push_back({write.write, "", "refused: " + write.reason});
    }
    text += FormatTable(rows, 2);
  }
  for (const std::string& error : errors) {
    const std::string attributed = AttributeError(error, trail, document);
    if (!attributed.empty()) text += "davhost: error: " + attributed + "\n";
  }
  return text;
}

}  // namespace dav::host
