// What a user changed behind the lock-down: the PC as it is now against the documents the
// component last saved in its folder. Everything is read without the component's lifecycle
// (no start, no synchronising of the start lists, no auto recover), so reading changes
// nothing on the PC.
#pragma once

#include <string>
#include <vector>

#include "host/client_settings.h"
#include "host/text_table.h"
#include "platform/platform.h"

namespace dav::host {

// One saved document and whether its rows were compared.
struct SavedDocument {
  std::string file;   // "SysConfig.qsf"
  std::string state;  // "compared", "missing", "unreadable", "not read back"
};

// A row whose value on the PC is no longer the value the document applied.
struct RowDrift {
  std::string section;  // "UsedAccess", "StartMenu/WinXP", "ControlMngr/WinXP/CPLList"
  std::string id;
  std::string meaning;  // what the row does on the PC
  std::string applied;  // as the saved document holds it, with the value's meaning
  std::string now;
};

// An icon file of the desktop or the start-up folders that is not as approved, or a special
// desktop icon (a shell object) shown or hidden against the saved window document.
inline constexpr const char* kSpecialIcon = "special icon";
struct IconDrift {
  std::string where;  // "desktop", "start-up", kSpecialIcon
  std::string file;
  // "present, not approved", "approved, missing"; "shown, applied hidden", "hidden, applied
  // shown"
  std::string state;
  // "deleted", "restored"; "shown", "hidden"; "-" (the next start leaves it)
  std::string nextStart;
};

// A Run entry that start-program protection moves at the next start.
struct RunDrift {
  std::string key;  // "HKEY_LOCAL_MACHINE_RUN"
  std::string name;
  std::string command;
  std::string nextStart;  // "switched off" or "written back"
};

// A row as the PC holds it now, for the rows of the generation the PC applies.
struct CurrentRow {
  std::string section;
  std::string id;
  std::string meaning;
  std::string value;  // with its meaning
};

struct DriftResult {
  std::vector<SavedDocument> documents;
  bool anyRead = false;  // at least one saved document could be compared
  std::vector<RowDrift> rows;
  std::vector<IconDrift> icons;
  std::vector<RunDrift> runEntries;
  // The PC as it is: every row the producers write, and the icon folders as tables
  // (Folder, File, Approved, Next start); empty when nothing could be compared.
  std::vector<CurrentRow> current;
  bool autoRecover = false;
  bool startProtection = false;
  std::vector<TableRow> desktopIcons;
  std::vector<TableRow> startupIcons;
  bool InStep() const { return rows.empty() && icons.empty() && runEntries.empty(); }
  std::size_t Count() const { return rows.size() + icons.size() + runEntries.size(); }
};

DriftResult ReadDrift(platform::Platform& platform, const ClientSettings& settings);

}  // namespace dav::host
