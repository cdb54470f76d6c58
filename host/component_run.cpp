#include "host/component_run.h"

#include <algorithm>
#include <vector>

#include "host/command_error.h"
#include "host/component_command_names.h"
#include "host/status_text.h"
#include "host/text_table.h"
#include "util/ansi_text.h"
#include "util/log.h"

namespace dav::host {
namespace {

// Where a log file ended before a command.
struct LogMark {
  std::string path;
  std::size_t size = 0;
};

LogMark Mark(platform::Platform& platform, std::string path) {
  std::string bytes;
  const bool read = platform.files().ReadAll(path, &bytes) == platform::kErrorSuccess;
  return {std::move(path), read ? bytes.size() : 0};
}

// The error lines that the log file gained after the mark: from "[err:" or "Err (" to the
// line's end, without the time stamp in front.
void CollectLoggedErrors(platform::Platform& platform, const LogMark& mark,
                         std::vector<std::string>* errors) {
  std::string bytes;
  if (platform.files().ReadAll(mark.path, &bytes) != platform::kErrorSuccess) return;
  // A file shorter than before was started afresh: all of it is new.
  const std::string added = util::FromAnsi(
      platform, bytes.size() >= mark.size ? bytes.substr(mark.size) : std::move(bytes));
  for (std::size_t start = 0; start < added.size();) {
    std::size_t end = added.find('\n', start);
    if (end == std::string::npos) end = added.size();
    std::string line = added.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t at = std::min(line.find("[err:"), line.find("Err ("));
    if (at != std::string::npos) {
      errors->push_back(line.substr(at));
    }
  }
}

}  // namespace

void MakeMachineFolders(platform::FileSystem& files, const std::string& path) {
  if (path.size() <= 3) return;  // a drive's root is always there
  // Each level from the drive down ("C:\a", "C:\a\b" ...); levels that exist are fine.
  for (std::size_t end = path.find('\\', 3);; end = path.find('\\', end + 1)) {
    const std::string level = path.substr(0, end);
    std::uint32_t attributes = files.GetAttributes(level);
    if (attributes == platform::kInvalidAttributes) {
      const platform::Status status = files.MakeFolder(level);
      attributes = files.GetAttributes(level);
      const bool madeByAnother = status == platform::kErrorAlreadyExists &&
                                 attributes != platform::kInvalidAttributes &&
                                 (attributes & platform::kAttrDirectory);
      if (status != platform::kErrorSuccess && !madeByAnother) {
        throw CommandError("cannot create the folder '" + level + "': " + StatusText(status));
      }
    } else if (!(attributes & platform::kAttrDirectory)) {
      throw CommandError("'" + level + "' is a file, not a folder");
    }
    if (end == std::string::npos) break;
  }
}

ComponentRun::ComponentRun(platform::Platform& platform, const ClientSettings& settings,
                           HostOutput& out)
    : platform_(platform), componentFolder_(settings.ComponentFolder()), out_(out) {
  MakeMachineFolders(platform.files(), settings.folder);
  MakeMachineFolders(platform.files(), settings.ComponentFolder());
  component_ = std::make_unique<core::CCDavIrizevez>(platform, settings.ComponentFolder());
  component_->IClientComponent_Initialize(std::make_shared<HostApplicationObject>(settings, out),
                                          false);
}

ComponentRun::~ComponentRun() {
  try {
    Terminate();
  } catch (...) {
    // Leaving early because of another error: that error is the one reported.
  }
}

CommandOutcome ComponentRun::Handle(const std::string& cmd, const std::string& protocol) {
  return Deliver(cmd, IsComponentCommand(cmd), [&](core::CCDavIrizevez& component) {
    component.IClientComponent_Handle(cmd, protocol);
  });
}

CommandOutcome ComponentRun::Call(const std::function<void(core::CCDavIrizevez&)>& operation) {
  return Deliver("", true, operation);
}

CommandOutcome ComponentRun::Deliver(const std::string& name, bool known,
                                     const std::function<void(core::CCDavIrizevez&)>& operation) {
  util::Log log(platform_, componentFolder_);
  std::vector<LogMark> marks{Mark(platform_, log.LogFilePath()),
                             Mark(platform_, log.DebugLogPath())};
  out_.CommandStarts(name);
  operation(*component_);
  // A command that ran past midnight went on in the next day's files.
  for (std::string path : {log.LogFilePath(), log.DebugLogPath()}) {
    if (path != marks[0].path && path != marks[1].path) marks.push_back({std::move(path), 0});
  }
  CommandOutcome outcome;
  outcome.command = name;
  outcome.known = known;
  for (const LogMark& mark : marks) CollectLoggedErrors(platform_, mark, &outcome.loggedErrors);
  lastErrors_ = outcome.loggedErrors;
  out_.CommandEnded(outcome);
  return outcome;
}

void ComponentRun::SetRowObserver(catalogue::RowObserver* observer) {
  component_->SetRowObserver(observer);
}

void ComponentRun::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  component_->IClientComponent_Terminate();
}

}  // namespace dav::host
