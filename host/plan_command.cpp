#include "host/plan_command.h"

#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <system_error>

#include "host/command_error.h"
#include "host/component_commands.h"
#include "host/host_files.h"
#include "host/host_output.h"
#include "platform/open_platform.h"

namespace dav::host {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDatabaseIndex = "registry.db-shm";

// A copy of the machine in a new temporary folder, removed with the object.
class ThrowawayMachine {
 public:
  explicit ThrowawayMachine(const fs::path& machine) {
    std::string pattern = (fs::temp_directory_path() / "davhost-plan-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw CommandError("cannot make a folder for the copy");
    path_ = pattern;
    for (const fs::directory_entry& entry : fs::directory_iterator(machine)) {
      // The database and its write-ahead log are copied as they are on disk: opening them
      // through SQLite, even read-only, would rewrite the log's index (registry.db-shm) of the
      // machine, which must stay as it was. The copy rebuilds its own index when it opens.
      if (entry.path().filename() == kDatabaseIndex) continue;
      std::error_code error;
      fs::copy(entry.path(), path_ / entry.path().filename(),
               fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
      if (error) {
        throw CommandError("cannot copy '" + entry.path().string() + "': " + error.message());
      }
    }
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
  // Only the file is looked at: opening the machine's database would rewrite its log index.
  if (!fs::is_regular_file(machine / "registry.db")) {
    throw CommandError("no machine in '" + context.machineFolder + "'");
  }
  const ThrowawayMachine copy(machine);
  std::unique_ptr<platform::Platform> platform = platform::OpenPlatform(copy.path(), false);
  if (!platform) throw CommandError("cannot open the copy of the machine");
  const ClientSettings settings = client.Resolve(*platform);
  std::cout << "plan: " << options.command
            << " on a copy of the machine; the machine itself is not changed\n";
  TextHostOutput out(std::cout, std::cerr);
  HandleAndReport(*platform, settings, options.command, protocol, false, true, std::cout, {}, out);
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
