// Where what the component tells its host goes: printed as it comes (the default), or
// gathered into the one JSON document of --json.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "host/change_recorder.h"
#include "host/json_text.h"

namespace dav::host {

// What one delivered command came to.
struct CommandOutcome {
  std::string command;
  bool known = true;                        // a command the component has a name for
  std::vector<std::string> loggedErrors;    // "[err:", "Err (" and error reporter lines it logged
  std::vector<RefusedWrite> refusedWrites;  // writes the machine refused during it
  std::vector<std::string> hints;           // what the component's own words do not say
  int ExitCode() const;                     // 0, 3 or 4 (host/exit_codes.h)
};

class HostOutput {
 public:
  virtual ~HostOutput() = default;
  virtual void Notice(const std::string& component, const std::string& code,
                      std::int32_t stage) = 0;
  virtual void Reply(const std::string& text) = 0;
  // A command is about to be delivered / has come back.
  virtual void CommandStarts(const std::string& cmd) = 0;
  virtual void CommandEnded(const CommandOutcome& outcome) = 0;
  // A warning of the lifetime outside any command.
  virtual void Warning(const std::string& text) = 0;
};

// Notices as "NOTICE <component> <code> <stage>" and replies as their text on out, each at
// once (a script driving a session sees it when it comes); warnings on err.
class TextHostOutput : public HostOutput {
 public:
  TextHostOutput(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
  void Notice(const std::string& component, const std::string& code, std::int32_t stage) override;
  void Reply(const std::string& text) override;
  void CommandStarts(const std::string& cmd) override;
  void CommandEnded(const CommandOutcome& outcome) override;
  void Warning(const std::string& text) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
};

// Gathers everything into one document:
//   {"lifetime": {"notices": [...], "replies": [...], "warnings": [...]}, during Initialize
//                 and Terminate
//    "commands": [{"command", "known", "notices": [{"component","code","stage"}],
//                  "replies": [{"code", "text"}], "warnings": [...], "errors_logged": [...],
//                  "refused_writes": [{"write", "reason"}], "exit_code"}],
//    "summary": {"commands", "unknown_commands", "commands_with_errors", "refused_writes"},
//    "exit_code": N}
class JsonHostOutput : public HostOutput {
 public:
  JsonHostOutput();
  void Notice(const std::string& component, const std::string& code, std::int32_t stage) override;
  void Reply(const std::string& text) override;
  void CommandStarts(const std::string& cmd) override;
  void CommandEnded(const CommandOutcome& outcome) override;
  void Warning(const std::string& text) override;

  // The document with the exit code of the whole run; changes, when not null, go before the
  // exit code as "changes" (handle and plan), which stays last for scripts that look there.
  Json Document(int exitCode, Json changes = nullptr) const;

 private:
  Json& Current();
  Json lifetime_;
  Json commands_;
  bool inCommand_ = false;
  int delivered_ = 0;
  int unknown_ = 0;
  int withErrors_ = 0;
  std::size_t refused_ = 0;
};

// The warnings a command's outcome gives, as they are printed after "davhost: warning: ".
std::vector<std::string> OutcomeWarnings(const CommandOutcome& outcome);

// How many writes the machine refused and the first few of them, one warning each; when
// says when they were refused, if not during a command ("" for none).
std::vector<std::string> RefusedWriteWarnings(const std::vector<RefusedWrite>& refused,
                                              std::string_view when = {});

// {"write", "reason"} of each.
Json RefusedWritesJson(const std::vector<RefusedWrite>& refused);

}  // namespace dav::host
