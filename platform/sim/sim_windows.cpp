#include "platform/sim/sim_windows.h"

#include <cstdio>

#include "platform/sim/sqlite_guard.h"
#include "platform/sim/windows_path.h"

namespace dav::platform::sim {
namespace {

WindowInfo FromRow(const Query& row) {
  return WindowInfo{static_cast<WindowHandle>(row.Int(0)), row.Text(1), row.Text(2),
                    static_cast<std::uint32_t>(row.Int(3))};
}

std::string Describe(const WindowInfo& window) {
  return DescribeHandle(window.handle) + " \"" + window.title + "\" (" + window.className +
         ", pid " + std::to_string(window.processId) + ")";
}

}  // namespace

WindowHandle InsertWindow(Database& db, const std::string& title, const std::string& className,
                          std::uint32_t processId) {
  // Handles of a new machine start where Windows' first top-level windows are, and are
  // never given out twice (AUTOINCREMENT).
  auto first = db.Prepare("SELECT count(*) FROM sqlite_sequence WHERE name = 'windows'");
  first.Step();
  if (first.Int(0) == 0) {
    db.Exec("INSERT INTO sqlite_sequence (name, seq) VALUES ('windows', 65553)");
  }
  db.Prepare("INSERT INTO windows (title, class, pid) VALUES (?, ?, ?)")
      .Bind(1, title)
      .Bind(2, className)
      .Bind(3, std::int64_t{processId})
      .Run();
  return static_cast<WindowHandle>(db.LastInsertId());
}

std::string DescribeHandle(WindowHandle window) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(window));
  return text;
}

WindowHandle SimWindows::FindByTitle(std::string_view title) {
  return TransactionOr(db_, Database::Mode::kRead, kNoWindow, [&] {
    auto query = db_.Prepare("SELECT handle, title FROM windows ORDER BY handle DESC");
    while (query.Step()) {
      if (NamesEqual(query.Text(1), title)) return static_cast<WindowHandle>(query.Int(0));
    }
    return kNoWindow;
  });
}

std::intptr_t SimWindows::SendClose(WindowHandle window) {
  return TransactionOr(db_, Database::Mode::kWrite, std::intptr_t{0}, [&] {
    auto query = db_.Prepare("SELECT handle, title, class, pid FROM windows WHERE handle = ?");
    if (!query.Bind(1, static_cast<std::int64_t>(window)).Step()) return std::intptr_t{0};
    const WindowInfo closed = FromRow(query);
    db_.Prepare("DELETE FROM windows WHERE handle = ?")
        .Bind(1, static_cast<std::int64_t>(window))
        .Run();
    record_("window.close", Describe(closed));
    return std::intptr_t{0};
  });
}

std::vector<WindowInfo> SimWindows::List() {
  return TransactionOrThrow(db_, Database::Mode::kRead, "read the windows", [&] {
    std::vector<WindowInfo> windows;
    auto query = db_.Prepare("SELECT handle, title, class, pid FROM windows ORDER BY handle");
    while (query.Step()) windows.push_back(FromRow(query));
    return windows;
  });
}

WindowHandle SimWindows::Open(const std::string& title, const std::string& className,
                              std::uint32_t processId) {
  const WindowHandle window = TransactionOrThrow(db_, Database::Mode::kWrite, "open a window", [&] {
    auto running = db_.Prepare("SELECT 1 FROM processes WHERE pid = ? AND running = 1");
    if (!running.Bind(1, std::int64_t{processId}).Step()) return kNoWindow;
    const WindowHandle opened = InsertWindow(db_, title, className, processId);
    record_("window.open", Describe({opened, title, className, processId}));
    return opened;
  });
  if (window == kNoWindow) {
    throw PlatformError("no process with id " + std::to_string(processId) + " is running");
  }
  return window;
}

}  // namespace dav::platform::sim
