// What an applying command did, for the administrator: the change report that "davhost
// handle" prints on stderr after the notices, and "davhost plan" prints in full. It counts
// the registry values set and deleted, keys created, files and ini entries changed and the
// events (processes ended, windows closed, display changes), and names, for every error the
// component logged, the section and row it was applying and the rows it then left out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/section_context.h"
#include "host/change_recorder.h"
#include "host/json_text.h"

namespace dav::host {

// The rows the section appliers were told to apply, in order.
class RowTrail : public catalogue::RowObserver {
 public:
  struct Entry {
    std::string applier;
    std::string id;  // lowercased, as the applier reads it
  };
  void Applying(std::string_view applier, std::string_view id) override {
    entries.push_back({std::string(applier), std::string(id)});
  }
  std::vector<Entry> entries;
};

// A logged error put in terms of the document: "UsedAccess DriveSettings: ... Not applied:
// TaskManager." Empty for a line that is no section applier's (it is warned of as it is).
std::string AttributeError(const std::string& errorLine, const RowTrail& trail,
                           std::string_view document);

// Every change as JSON: {"values": [{"key", "name", "before", "after"}] (before/after
// {"type", "data"} or null), "keys_created", "keys_deleted", "files": [{"path", "what"}],
// "ini": [{"file", "section", "key", "before", "after"}], "processes_started",
// "processes_ended", "windows_closed", "display_changes", "display_refused",
// "refused_writes": [{"write", "reason"}]}.
Json ChangesJson(const MachineChanges& changes);

// The report. detailed: every change with its before and after (plan); otherwise one line
// of counts (handle). The section appliers' errors follow, one line each, attributed.
std::string ChangeReport(const MachineChanges& changes, const std::vector<std::string>& errors,
                         const RowTrail& trail, std::string_view document, bool detailed);

}  // namespace dav::host
