#include "host/plan_command.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <system_error>

#include "host/command_error.h"
#include "host/component_commands.h"
#include "host/host_files.h"
#include "platform/open_platform.h"
#include "platform/sim/machine.h"

namespace dav::host {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDatabase = "registry.db";

// The registry database copied through SQLite's online backup, so that the copy is
// consistent even if the machine's database is in use. The machine's own connection is
// the usual one: closing it leaves no write-ahead files behind.
void BackUpDatabase(const fs::path& from, const fs::path& to) {
  sqlite3* source = nullptr;
  sqlite3* target = nullptr;
  int rc = sqlite3_open_v2(from.c_str(), &source, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_open_v2(to.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  }
  std::string why;
  if (rc == SQLITE_OK) {
    if (sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main")) {
      rc = sqlite3_backup_step(backup, -1);
      sqlite3_backup_finish(backup);
      if (rc == SQLITE_DONE) rc = SQLITE_OK;
    } else {
      rc = sqlite3_errcode(target);
    }
  }
  if (rc != SQLITE_OK) why = sqlite3_errstr(rc);
  sqlite3_close(target);
  sqlite3_close(source);
  if (!why.empty()) throw CommandError("cannot copy the machine's registry.db: " + why);
}

// A copy of the machine in a new temporary folder, removed with the object.
class ThrowawayMachine {
 public:
  explicit ThrowawayMachine(const fs::path& machine) {
    std::string pattern = (fs::temp_directory_path() / "davhost-plan-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw CommandError("cannot make a folder for the copy");
    path_ = pattern;
    for (const fs::directory_entry& entry : fs::directory_iterator(machine)) {
      // The database and its write-ahead files come through the backup.
      if (entry.path().filename().string().starts_with(kDatabase)) continue;
      std::error_code error;
      fs::copy(entry.path(), path_ / entry.path().filename(),
               fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
      if (error) {
        throw CommandError("cannot copy '" + entry.path().string() + "': " + error.message());
      }
    }
    BackUpDatabase(machine / kDatabase, path_ / kDatabase);
  }
  ~ThrowawayMachine() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ThrowawayMachine(const ThrowawayMachine&) = delete;
  ThrowawayMachine& operator=(const ThrowawayMachine&) = delete;

  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void RunPlan(HostContext& context, const ClientOptions& client, const HandleOptions& options) {
  const std::string protocol = HandleProtocol(options);
  const fs::path machine = HostPath(context.machineFolder);
  if (!platform::sim::Machine::Exists(machine)) {
    throw CommandError("no machine in '" + context.machineFolder + "'");
  }
  const ThrowawayMachine copy(machine);
  std::unique_ptr<platform::Platform> platform = platform::OpenPlatform(copy.path(), false);
  if (!platform) throw CommandError("cannot open the copy of the machine");
  const ClientSettings settings = client.Resolve(*platform);
  std::cout << "plan: " << options.command
            << " on a copy of the machine; the machine itself is not changed\n";
  HandleAndReport(*platform, settings, options.command, protocol, false, true, std::cout);
}

}  // namespace

void AddPlanCommand(CLI::App& app, HostContext& context,
                    const std::shared_ptr<ClientOptions>& client) {
  auto options = std::make_shared<HandleOptions>();
  CLI::App* plan = app.add_subcommand(
      "plan",
      "Show what a command would do without doing it: run it on a throw-away copy of the "
      "machine and list every registry value, key, file and ini entry it changes (old -> new), "
      "the notices and replies, the processes it ends and the errors per section and row");
  AddHandleArguments(*plan, *options);
  plan->callback([&context, client, options] { RunPlan(context, *client, *options); });
}

}  // namespace dav::host
