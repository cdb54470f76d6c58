#include "host/drift_check.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "catalogue/document_diff.h"
#include "catalogue/row_catalogue.h"
#include "desktop/desktop_icon_manager.h"
#include "host/icon_folder_places.h"
#include "host/icon_folder_table.h"
#include "host/machine_sections.h"
#include "listdoc/md_type_define.h"
#include "registry/md_spm.h"
#include "registry/opened_key.h"
#include "startup/run_keys.h"
#include "startup/start_program_manager.h"
#include "util/conversions.h"
#include "util/log.h"
#include "util/mod_main.h"
#include "xml/document.h"

namespace dav::host {
namespace {

using Manager = startup::StartProgramManager;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool Exists(platform::Platform& pc, const std::string& path) {
  return pc.files().GetAttributes(path) != platform::kInvalidAttributes;
}

// The parts of an entry's place: "ControlMngr/WinXP/CPLList" is section ControlMngr, form
// WinXP.
struct Place {
  std::string section;
  std::string form;
};

Place SplitPlace(const std::string& place) {
  const std::size_t slash = place.find('/');
  if (slash == std::string::npos) return {place, {}};
  std::string rest = place.substr(slash + 1);
  const std::size_t next = rest.find('/');
  std::string form = next == std::string::npos ? rest : rest.substr(0, next);
  if (form != "WinXP" && form != "WinOriginal" && form != "Win7") form.clear();
  return {place.substr(0, slash), form};
}

// Whether the PC's generation applies rows of that form: the other generation's form is
// only carried in the document, never applied, so its rows cannot drift.
bool FormApplies(const std::string& form, bool winXP, bool win7) {
  if (form.empty()) return true;
  if (form == "Win7") return win7;
  return winXP;
}

std::string Meaning(const Place& place, const std::string& fullPlace, const std::string& id) {
  if (fullPlace.ends_with("/CPLList")) return "may the user open this control panel applet";
  const catalogue::SectionRows* section = catalogue::FindSectionRows(place.section);
  if (!section) return {};
  const catalogue::RowSpec* row = catalogue::FindRow(*section, place.form, id);
  return row ? std::string(row->effect) : std::string();
}

std::string ValueText(const Place& place, const std::string& id, const std::string& value) {
  const catalogue::SectionRows* section = catalogue::FindSectionRows(place.section);
  const catalogue::RowSpec* row = section ? catalogue::FindRow(*section, place.form, id) : nullptr;
  const catalogue::ValueMeaning* meaning = row ? catalogue::FindValue(*row, value) : nullptr;
  const std::string shown = value.empty() ? "(empty)" : value;
  return meaning ? shown + " (" + std::string(meaning->meaning) + ")" : shown;
}

// The two lists are read through the icon and start program listings, not as rows.
bool IsListSection(const std::string& section) {
  return section == "StartProgramManager" || section == "DesktopIconManager";
}

// The rows the saved document holds whose value on the PC differs. Rows the document never
// set, and rows of the generation the PC does not apply, are left out.
void CompareRows(const xml::Document& saved, const std::string& producedBody, bool winXP, bool win7,
                 std::vector<RowDrift>& out) {
  xml::Document now;
  if (!now.loadXML(mdTypeDefine::XMLDocument("1.0.0", producedBody))) return;
  for (const catalogue::EntryDifference& diff : catalogue::DiffDocuments(saved, now)) {
    if (!diff.first || !diff.second) continue;  // a row only one side knows
    const Place place = SplitPlace(diff.place);
    if (IsListSection(place.section) || !FormApplies(place.form, winXP, win7)) continue;
    out.push_back(RowDrift{diff.place, diff.id, Meaning(place, diff.place, diff.id),
                           ValueText(place, diff.id, *diff.first),
                           ValueText(place, diff.id, *diff.second)});
  }
}

// The icon files the saved window document approves (Checked 1), for a desktop without
// auto recover, whose backup folder then holds nothing.
// The list's first entries are the special icons (shell objects, not files): skipped.
std::set<std::string> ApprovedInDocument(const xml::Document& saved, std::size_t specialIcons) {
  std::set<std::string> names;
  std::size_t position = 0;
  for (const xml::Node& icon :
       saved.selectNodes("DocRoot/Configuration/DesktopIconManager/IconList/Icon")) {
    if (position++ < specialIcons) continue;
    const auto name = icon.attribute("FileName");
    const auto checked = icon.attribute("Checked");
    if (name && checked && *checked == "1") names.insert(*name);
  }
  return names;
}

// Icon rows (Folder, File, Approved, Next start) as drift: with the folder set enforced, the
// files not approved and the approved ones that have gone.
void EnforcedIconDrift(const std::vector<TableRow>& rows, const std::string& where,
                       std::vector<IconDrift>& out) {
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const TableRow& row = rows[i];
    if (row[0] == "backup") {
      out.push_back({where, row[1], "approved, missing", row[3]});
    } else if (row[2] == "no") {
      out.push_back({where, row[1], "present, not approved", row[3]});
    }
  }
}

// The special icons (shell objects) head the saved list under the shell's display names,
// Checked 0 hidden and another number shown; a list shorter than that set none of them. Each
// is compared with what the shell's values say now. With auto recover on, the next start
// sets each to the choice the store keeps.
void SpecialIconDrift(desktop::DesktopIconManager& icons, const xml::Document& saved,
                      bool autoRecover, std::vector<IconDrift>& out) {
  const auto k = static_cast<std::size_t>(icons.SpecialIconCount());
  const std::vector<xml::Node> listed =
      saved.selectNodes("DocRoot/Configuration/DesktopIconManager/IconList/Icon");
  if (listed.size() < k) return;
  desktop::IconList now;
  icons.LoadSpecialIcons(now, false);
  desktop::IconList stored;
  if (autoRecover) icons.LoadSpecialIcons(stored, true);
  for (std::size_t i = 0; i < k && i < now.size(); ++i) {
    const std::string name = listed[i].attribute("FileName").value_or("");
    const auto pc = std::find_if(now.begin(), now.end(),
                                 [&](const auto& icon) { return icon.diFileName == name; });
    if (pc == now.end() || pc->diFlag < 0) continue;  // not this PC's icon, or not readable
    // The applier shows the icon for any number but 0 (and never got past a non-number).
    bool applied = false;
    try {
      applied = util::ToInteger(listed[i].attribute("Checked").value_or("")) != 0;
    } catch (...) {
      continue;
    }
    const bool shown = pc->diFlag == 1;
    if (applied == shown) continue;
    std::string nextStart = "-";
    if (autoRecover) {
      const std::size_t at = static_cast<std::size_t>(pc - now.begin());
      const bool keep = at < stored.size() && (stored[at].diFlag == 1) == shown;
      if (!keep && at < stored.size()) nextStart = stored[at].diFlag == 1 ? "shown" : "hidden";
    }
    out.push_back(
        {kSpecialIcon, name, shown ? "shown, applied hidden" : "hidden, applied shown", nextStart});
  }
}

void DesktopDrift(util::Log& log, const ClientSettings& settings, bool isWinNT,
                  const xml::Document* savedWindow, DriftResult& result) {
  std::vector<IconDrift>& out = result.icons;
  platform::Platform& pc = log.platform();
  // The manager keeps a reference to the store key: it must outlive the manager.
  const std::string storeKey = DesktopIconStoreKey(settings);
  desktop::DesktopIconManager icons(log, storeKey);
  auto [user, common, backup] = DesktopFolderPlaces(log, settings, isWinNT);
  // A backup folder that is not there is not made: reading leaves the PC as it is.
  if (!Exists(pc, backup)) backup.clear();
  icons.SetIconFolders(user, common, backup, icons.LoadFilteringList(), desktop::kModeDesktop);
  const bool autoRecover = icons.EnableAutoRecover();
  const std::vector<TableRow> rows =
      IconFolderRows(icons, user, common, backup, desktop::kModeDesktop, autoRecover);
  result.autoRecover = autoRecover;
  result.desktopIcons = rows;
  if (savedWindow) SpecialIconDrift(icons, *savedWindow, autoRecover, out);
  if (autoRecover) {
    EnforcedIconDrift(rows, "desktop", out);
    return;
  }
  // Without auto recover the applied document's icon list is what was approved.
  if (!savedWindow) return;
  const std::set<std::string> approved =
      ApprovedInDocument(*savedWindow, static_cast<std::size_t>(icons.SpecialIconCount()));
  std::set<std::string> present;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (rows[i][0] == "backup") continue;
    present.insert(rows[i][1]);
    if (!approved.contains(rows[i][1])) {
      out.push_back({"desktop", rows[i][1], "present, not approved", "-"});
    }
  }
  for (const std::string& name : approved) {
    if (!present.contains(name)) out.push_back({"desktop", name, "approved, missing", "-"});
  }
}

bool HasName(const std::vector<Manager::Entry>& entries, const std::string& name) {
  const std::string lower = Lower(name);
  return std::any_of(entries.begin(), entries.end(),
                     [&](const Manager::Entry& entry) { return Lower(entry.name) == lower; });
}

// What protection does to each live Run key at the next start: a key holding more entries
// than its start list (the client's counted services aside) has the unlisted ones switched
// off; otherwise the listed ones it lacks are written back.
void RunKeyDrift(Manager& spm, const startup::StorePlaces& places, std::vector<RunDrift>& out) {
  for (const startup::LiveKey& live : startup::kLiveKeys) {
    const std::vector<Manager::Entry> entries = spm.Entries(live.hive, live.path);
    const std::vector<Manager::Entry> start =
        spm.Entries(platform::kHKeyLocalMachine, startup::ListOf(places.startListKey, live));
    std::size_t counted = entries.size();
    for (std::string_view name : startup::kCountingNames) {
      if (HasName(entries, std::string(name))) --counted;
    }
    if (start.size() < counted) {
      for (const Manager::Entry& entry : entries) {
        if (mdSPM::IsProtectedEntry(entry.name) || !startup::IsCommandType(entry.type) ||
            HasName(start, entry.name)) {
          continue;
        }
        out.push_back({std::string(live.label), entry.name, entry.data, "switched off"});
      }
      continue;
    }
    for (const Manager::Entry& entry : start) {
      if (!HasName(entries, entry.name)) {
        out.push_back({std::string(live.label), entry.name, entry.data, "written back"});
      }
    }
  }
}

void StartupFolderDrift(util::Log& log, const ClientSettings& settings, bool isWinNT, bool enforced,
                        DriftResult& result) {
  desktop::IconFolders icons(log);
  auto [user, common, backup] = StartupFolderPlaces(log, settings, isWinNT);
  if (!Exists(log.platform(), backup)) backup.clear();
  icons.SetIconFolders(user, common, backup, {"desktop.ini"}, desktop::kModeStartup);
  result.startupIcons =
      IconFolderRows(icons, user, common, backup, desktop::kModeStartup, enforced);
  if (enforced) EnforcedIconDrift(result.startupIcons, "start-up", result.icons);
}

// Every entry the producers write, of the forms the PC applies.
void CurrentRows(const std::string& producedBody, bool winXP, bool win7,
                 std::vector<CurrentRow>& out) {
  xml::Document now;
  xml::Document none;
  if (!now.loadXML(mdTypeDefine::XMLDocument("1.0.0", producedBody))) return;
  for (const catalogue::EntryDifference& entry : catalogue::DiffDocuments(none, now)) {
    if (!entry.second) continue;
    const Place place = SplitPlace(entry.place);
    if (IsListSection(place.section) || !FormApplies(place.form, winXP, win7)) continue;
    out.push_back(CurrentRow{entry.place, entry.id, Meaning(place, entry.place, entry.id),
                             ValueText(place, entry.id, *entry.second)});
  }
}

}  // namespace

DriftResult ReadDrift(platform::Platform& pc, const ClientSettings& settings) {
  DriftResult result;
  const std::string folder = settings.ComponentFolder();
  util::Log log(pc, folder);
  const util::Log::Mute mute(log);  // reading leaves no log line
  mdSPM spm(log);
  const bool isWinNT = modMain::UF_IsWinNT(log);
  const MachineSections sections = ReadMachineSections(log, settings);
  const bool winXP = sections.winXP;
  const bool win7 = sections.win7;

  const auto load = [&](const std::string& file, xml::Document& doc) {
    const std::string path = folder + "\\" + file;
    if (!Exists(pc, path)) {
      result.documents.push_back({file, "missing"});
      return false;
    }
    if (!doc.load(pc.files(), path)) {
      result.documents.push_back({file, "unreadable"});
      return false;
    }
    result.documents.push_back({file, "compared"});
    result.anyRead = true;
    return true;
  };

  const std::string& systemBody = sections.system;
  const std::string windowBody = sections.startMenu + sections.windowSkill;
  CurrentRows(windowBody, winXP, win7, result.current);
  CurrentRows(systemBody, winXP, win7, result.current);
  xml::Document system;
  if (load("SysConfig.qsf", system)) CompareRows(system, systemBody, winXP, win7, result.rows);
  xml::Document window;
  const bool haveWindow = load("WinConfig.qsf", window);
  if (haveWindow) CompareRows(window, windowBody, winXP, win7, result.rows);
  // The legacy document's sections are only ever applied: the PC cannot be read back into
  // them, so only its start programs and icons, which the stores keep, are compared.
  if (Exists(pc, folder + "\\DavIrizevez.qsf")) {
    result.documents.push_back({"DavIrizevez.qsf", "not read back"});
    result.anyRead = true;
  } else {
    result.documents.push_back({"DavIrizevez.qsf", "missing"});
  }
  if (!result.anyRead) return result;

  DesktopDrift(log, settings, isWinNT, haveWindow ? &window : nullptr, result);
  const startup::StorePlaces places = startup::StorePlacesOf(settings.registryKey);
  Manager manager(log, places, isWinNT);
  const bool storeExists = static_cast<bool>(
      OpenedKey(pc.registry(), spm.GetRegHKey(platform::kHKeyLocalMachine, places.storeKey)));
  result.startProtection = storeExists && manager.EnableOpt();
  if (result.startProtection) RunKeyDrift(manager, places, result.runEntries);
  StartupFolderDrift(log, settings, isWinNT, result.startProtection, result);
  return result;
}

}  // namespace dav::host
