// The top-level windows of the simulated PC, a table of the machine database. Each window
// belongs to a running process and goes when that process ends. A window asked to close
// closes; the close goes to the event journal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sqlite_db.h"
#include "platform/top_level_windows.h"

namespace dav::platform::sim {

// Adds a window without looking at its process; its handle.
WindowHandle InsertWindow(Database& db, const std::string& title, const std::string& className,
                          std::uint32_t processId);

// "0x00010012": how the journal and davhost write a window handle.
std::string DescribeHandle(WindowHandle window);

class SimWindows : public TopLevelWindows {
 public:
  SimWindows(Database& db, EventRecorder record) : db_(db), record_(std::move(record)) {}

  // Of several windows with the title, the newest is found (the one on top). Letter case is
  // ignored for ASCII letters (other scripts, Korean among them, have none).
  WindowHandle FindByTitle(std::string_view title) override;
  std::intptr_t SendClose(WindowHandle window) override;

  // The machine's side (PlatformError for a process that does not run, or a database
  // failure). Windows are listed oldest first.
  std::vector<WindowInfo> List();
  WindowHandle Open(const std::string& title, const std::string& className,
                    std::uint32_t processId);

 private:
  Database& db_;
  EventRecorder record_;
};

}  // namespace dav::platform::sim
