#include "platform/sim/machine_store.h"

#include <algorithm>

#include "platform/sim/machine_settings.h"

namespace dav::platform::sim {
namespace {

template <typename Body>
auto Guarded(const char* what, Body&& body) {
  try {
    return body();
  } catch (const SqliteError& error) {
    throw PlatformError(std::string("machine database: cannot ") + what + ": " + error.what());
  }
}

}  // namespace

void MachineStore::Initialize(const std::vector<SpecialFolder>& folders) {
  Guarded("initialise the machine", [&] {
    db_.Transaction(Database::Mode::kWrite, [&] {
      for (const auto& entry : DefaultSettings()) {
        db_.Prepare("INSERT INTO settings (name, value) VALUES (?, ?)")
            .Bind(1, std::string_view(entry.name))
            .Bind(2, entry.value)
            .Run();
      }
      for (const auto& folder : folders) {
        db_.Prepare("INSERT INTO special_folders (csidl, path, display_name) VALUES (?, ?, ?)")
            .Bind(1, folder.csidl)
            .Bind(2, folder.path)
            .Bind(3, folder.displayName)
            .Run();
      }
    });
  });
}

std::vector<std::pair<std::string, std::string>> MachineStore::Settings() {
  return Guarded("read the settings", [&] {
    std::vector<std::pair<std::string, std::string>> result;
    db_.Transaction(Database::Mode::kRead, [&] {
      for (const auto& entry : DefaultSettings()) {
        auto query = db_.Prepare("SELECT value FROM settings WHERE name = ?");
        query.Bind(1, std::string_view(entry.name));
        result.emplace_back(entry.name, query.Step() ? query.Text(0) : entry.value);
      }
    });
    return result;
  });
}

std::string MachineStore::Setting(const char* name) {
  return Guarded("read a setting", [&] {
    auto query = db_.Prepare("SELECT value FROM settings WHERE name = ?");
    if (query.Bind(1, std::string_view(name)).Step()) return query.Text(0);
    for (const auto& entry : DefaultSettings()) {
      if (std::string_view(entry.name) == name) return entry.value;
    }
    throw PlatformError(std::string("unknown machine setting '") + name + "'");
  });
}

std::vector<std::string> MachineStore::Settings(std::initializer_list<const char*> names) {
  return Guarded("read the settings", [&] {
    std::vector<std::string> values(names.size());
    std::vector<bool> found(names.size());
    auto query = db_.Prepare("SELECT name, value FROM settings");
    while (query.Step()) {
      const std::string_view name = query.TextView(0);
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (!found[i] && name == names.begin()[i]) {
          values[i] = query.Text(1);
          found[i] = true;
        }
      }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (found[i]) continue;
      const char* name = names.begin()[i];
      const auto& defaults = DefaultSettings();
      const auto known = std::find_if(defaults.begin(), defaults.end(), [&](const auto& entry) {
        return std::string_view(entry.name) == name;
      });
      if (known == defaults.end()) {
        throw PlatformError(std::string("unknown machine setting '") + name + "'");
      }
      values[i] = known->value;
    }
    return values;
  });
}

void MachineStore::SetSetting(const std::string& name, const std::string& value) {
  if (const std::string problem = CheckSetting(name, value); !problem.empty()) {
    throw PlatformError(problem);
  }
  Guarded("change a setting", [&] {
    db_.Transaction(Database::Mode::kWrite, [&] {
      db_.Prepare("INSERT OR REPLACE INTO settings (name, value) VALUES (?, ?)")
          .Bind(1, name)
          .Bind(2, value)
          .Run();
    });
  });
}

std::vector<SpecialFolder> MachineStore::SpecialFolders() {
  return Guarded("read the special folders", [&] {
    std::vector<SpecialFolder> result;
    auto query =
        db_.Prepare("SELECT csidl, path, display_name FROM special_folders ORDER BY csidl");
    while (query.Step()) {
      result.push_back({static_cast<int>(query.Int(0)), query.Text(1), query.Text(2)});
    }
    return result;
  });
}

std::optional<SpecialFolder> MachineStore::FindSpecialFolder(int csidl) {
  return Guarded("read a special folder", [&]() -> std::optional<SpecialFolder> {
    auto query = db_.Prepare("SELECT path, display_name FROM special_folders WHERE csidl = ?");
    if (!query.Bind(1, csidl).Step()) return std::nullopt;
    return SpecialFolder{csidl, query.Text(0), query.Text(1)};
  });
}

void MachineStore::RecordEvent(const std::string& time, const std::string& kind,
                               const std::string& detail) {
  Guarded("record an event", [&] {
    db_.Transaction(Database::Mode::kWrite, [&] {
      db_.Prepare("INSERT INTO events (time, kind, detail) VALUES (?, ?, ?)")
          .Bind(1, time)
          .Bind(2, kind)
          .Bind(3, detail)
          .Run();
    });
  });
}

std::vector<Event> MachineStore::Events(std::int64_t since) {
  return Guarded("read the events", [&] {
    std::vector<Event> result;
    auto query = db_.Prepare(
        "SELECT sequence, time, kind, detail FROM events WHERE sequence > ? ORDER BY sequence");
    query.Bind(1, since);
    while (query.Step()) {
      result.push_back({query.Int(0), query.Text(1), query.Text(2), query.Text(3)});
    }
    return result;
  });
}

}  // namespace dav::platform::sim
