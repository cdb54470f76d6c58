#include "host/component_run.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "host/command_error.h"
#include "host/component_command_names.h"
#include "host/exit_codes.h"
#include "host/status_text.h"
#include "host/text_table.h"
#include "util/ansi_text.h"
#include "util/conversions.h"
#include "util/log.h"

namespace dav::host {
namespace {

// Where a log file ended before a command.
struct LogMark {
  std::string path;
  std::size_t size = 0;
};

// Where a log ends now; the command's lines are the ones after it. Only its size is read: a
// day's log grows with every command, and reading it whole before and after each one made
// a short command cost as much as the day had written.
LogMark Mark(platform::Platform& platform, std::string path) {
  std::string none;
  std::uint64_t size = 0;
  const bool read = platform.files().ReadFrom(path, std::numeric_limits<std::uint64_t>::max(),
                                              &none, &size) == platform::kErrorSuccess;
  return {std::move(path), read ? static_cast<std::size_t>(size) : 0};
}

// Where the error reporter's debug-log line " [Module.Procedure] TAB number TAB text" has its
// "[", or npos for another line. The section appliers that go on after a failure report it
// only so.
std::size_t ReportedErrorAt(const std::string& line) {
  const std::size_t close = line.find("] \t");
  if (close == std::string::npos) return std::string::npos;
  const std::size_t open = line.rfind(" [", close);
  if (open == std::string::npos || close == open + 2) return std::string::npos;
  for (std::size_t i = open + 2; i < close; ++i) {
    const char c = line[i];
    if (c == ' ' || c == '[' || c == '\t') return std::string::npos;
  }
  // The number after the tab.
  std::size_t digit = close + 3;
  if (digit < line.size() && line[digit] == '-') ++digit;
  if (digit >= line.size() || line[digit] < '0' || line[digit] > '9') return std::string::npos;
  return open + 1;
}

}  // namespace

void CollectLoggedErrors(platform::Platform& platform, const std::string& path, std::size_t from,
                         std::vector<std::string>* errors) {
  std::string bytes;
  std::uint64_t size = 0;
  if (platform.files().ReadFrom(path, from, &bytes, &size) != platform::kErrorSuccess) return;
  // A file shorter than before was started afresh: all of it is new.
  if (size < from && platform.files().ReadAll(path, &bytes) != platform::kErrorSuccess) return;
  const std::string added = util::FromAnsi(platform, bytes);
  for (std::size_t start = 0; start < added.size();) {
    std::size_t end = added.find('\n', start);
    if (end == std::string::npos) end = added.size();
    std::string line = added.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t at = std::min(line.find("[err:"), line.find("Err ("));
    if (at != std::string::npos) {
      errors->push_back(line.substr(at));
    } else if (const std::size_t reported = ReportedErrorAt(line); reported != std::string::npos) {
      // "[source] TAB number TAB text" as "[source] number text".
      std::string error = line.substr(reported);
      error.erase(error.find("] \t") + 1, 1);
      std::replace(error.begin(), error.end(), '\t', ' ');
      errors->push_back(std::move(error));
    }
  }
}

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

namespace {

// While the component starts, ends or runs a command, the machine's files change only through
// it, so the machine may remember what it looked up (a person or another davhost changing them
// between two commands is seen at the next). Not around the editors: their program opens the
// machine in a process of its own.
class SoleWriter {
 public:
  SoleWriter(platform::Platform& platform, bool sole) : files_(platform.files()), sole_(sole) {
    if (sole_) files_.SetSoleWriter(true);
  }
  ~SoleWriter() {
    if (sole_) files_.SetSoleWriter(false);
  }
  SoleWriter(const SoleWriter&) = delete;
  SoleWriter& operator=(const SoleWriter&) = delete;

 private:
  platform::FileSystem& files_;
  bool sole_;
};

}  // namespace

ComponentRun::ComponentRun(platform::Platform& platform, const ClientSettings& settings,
                           HostOutput& out,
                           const std::function<void(platform::Platform&)>& beforeStart)
    : platform_(platform),
      recording_(platform),
      componentFolder_(settings.ComponentFolder()),
      out_(out) {
  MakeMachineFolders(recording_.files(), settings.folder);
  MakeMachineFolders(recording_.files(), settings.ComponentFolder());
  if (beforeStart) beforeStart(recording_);
  component_ = std::make_unique<core::CCDavIrizevez>(recording_, settings.ComponentFolder());
  const SoleWriter sole(platform_, true);
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

std::vector<std::string> ComponentRun::CommandHints(const std::string& cmd,
                                                    const std::string& protocol) {
  std::vector<std::string> hints;
  if (cmd == "APL_LOGIN" || cmd == "APL_MNGLOGIN") {
    const std::string manager = componentFolder_ + "\\WinAdmin.qsf";
    const std::uint32_t attributes = platform_.files().GetAttributes(manager);
    if (attributes == platform::kInvalidAttributes || (attributes & platform::kAttrDirectory)) {
      hints.push_back(cmd + " applies the manager's document " + manager +
                      ", and there is none: nothing will be lifted");
    }
  }
  if ((cmd == "APL_SYSCONF" || cmd == "APL_WINCONF") &&
      protocol.find('\x1d') == std::string::npos) {
    hints.push_back(cmd +
                    " without the protocol's second field (character 29 and True or False; "
                    "--restart with handle): the component stops after applying, before its "
                    "last notices, and logs 'Subscript out of range'");
  }
  if (cmd == "APL_WINCONF" && protocol.find('\x1d') != std::string::npos) {
    const std::size_t split = protocol.find('\x1d');
    bool restart = false;
    try {
      restart = util::ToBoolean(protocol.substr(split + 1));
    } catch (const std::exception&) {
      // Not a Boolean text: the component fails on it itself, and logs that.
    }
    if (restart && protocol.substr(0, split).find("<DisplayList") == std::string::npos) {
      hints.push_back(
          "APL_WINCONF with a shell restart sets the display mode the document's "
          "WinSkill/DisplayList names, and the document has none: unless an earlier document "
          "of this run set a mode, the component logs 'Type mismatch' and restarts no shell");
    }
  }
  return hints;
}

CommandOutcome ComponentRun::Handle(const std::string& cmd, const std::string& protocol) {
  std::vector<std::string> hints = CommandHints(cmd, protocol);
  CommandOutcome outcome = Deliver(
      cmd, IsComponentCommand(cmd),
      [&](core::CCDavIrizevez& component) {
        const SoleWriter sole(platform_, cmd != "WINCONFIG" && cmd != "SYSCONFIG");
        component.IClientComponent_Handle(cmd, protocol);
      },
      std::move(hints));
  return outcome;
}

CommandOutcome ComponentRun::Call(const std::function<void(core::CCDavIrizevez&)>& operation) {
  return Deliver("", true, operation, {});
}

CommandOutcome ComponentRun::Deliver(const std::string& name, bool known,
                                     const std::function<void(core::CCDavIrizevez&)>& operation,
                                     std::vector<std::string> hints) {
  util::Log log(platform_, componentFolder_);
  std::vector<LogMark> marks{Mark(platform_, log.LogFilePath()),
                             Mark(platform_, log.DebugLogPath())};
  // Writes refused before the command (while the component started) are the lifetime's.
  const std::size_t refusedBefore = recording_.changes().refused.size();
  const std::size_t displayBefore = recording_.changes().displayRefused.size();
  out_.CommandStarts(name);
  operation(*component_);
  // A command that ran past midnight went on in the next day's files.
  for (std::string path : {log.LogFilePath(), log.DebugLogPath()}) {
    if (path != marks[0].path && path != marks[1].path) marks.push_back({std::move(path), 0});
  }
  CommandOutcome outcome;
  outcome.command = name;
  outcome.known = known;
  outcome.hints = std::move(hints);
  const MachineChanges& changes = recording_.changes();
  for (std::size_t i = displayBefore; i < changes.displayRefused.size(); ++i) {
    // A mode tried twice (asked about, then set) is one warning.
    const std::string hint = "the display adapter refused the mode " + changes.displayRefused[i];
    if (std::find(outcome.hints.begin(), outcome.hints.end(), hint) == outcome.hints.end()) {
      outcome.hints.push_back(hint);
    }
  }
  outcome.refusedWrites.assign(changes.refused.begin() + static_cast<std::ptrdiff_t>(refusedBefore),
                               changes.refused.end());
  lifetimeRefused_.insert(lifetimeRefused_.end(),
                          changes.refused.begin() + static_cast<std::ptrdiff_t>(refusedSeen_),
                          changes.refused.begin() + static_cast<std::ptrdiff_t>(refusedBefore));
  refusedSeen_ = changes.refused.size();
  for (const LogMark& mark : marks)
    CollectLoggedErrors(platform_, mark.path, mark.size, &outcome.loggedErrors);
  lastErrors_ = outcome.loggedErrors;
  out_.CommandEnded(outcome);
  return outcome;
}

void ComponentRun::SetRowObserver(catalogue::RowObserver* observer) {
  component_->SetRowObserver(observer);
}

int ComponentRun::Terminate() {
  if (terminated_) return kExitOk;
  terminated_ = true;
  {
    const SoleWriter sole(platform_, true);
    component_->IClientComponent_Terminate();
  }
  const std::vector<RefusedWrite>& refused = recording_.changes().refused;
  lifetimeRefused_.insert(lifetimeRefused_.end(),
                          refused.begin() + static_cast<std::ptrdiff_t>(refusedSeen_),
                          refused.end());
  refusedSeen_ = refused.size();
  if (lifetimeRefused_.empty()) return kExitOk;
  for (const std::string& warning :
       RefusedWriteWarnings(lifetimeRefused_, "while the component started or ended")) {
    out_.Warning(warning);
  }
  return kExitComponentError;
}

}  // namespace dav::host
