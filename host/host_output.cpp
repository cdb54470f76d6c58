#include "host/host_output.h"

#include <algorithm>

#include "host/component_command_names.h"
#include "host/exit_codes.h"
#include "host/text_table.h"

namespace dav::host {

namespace {

// How many refused writes are named; the rest are counted (all are in the JSON document).
constexpr std::size_t kRefusedNamed = 3;

}  // namespace

int CommandOutcome::ExitCode() const {
  if (!loggedErrors.empty() || !refusedWrites.empty()) return kExitComponentError;
  return known ? kExitOk : kExitUnknownCommand;
}

std::vector<std::string> RefusedWriteWarnings(const std::vector<RefusedWrite>& refused,
                                              std::string_view when) {
  std::vector<std::string> warnings;
  if (refused.empty()) return warnings;
  const std::size_t n = refused.size();
  warnings.push_back("the machine refused " + std::to_string(n) + (n == 1 ? " write" : " writes") +
                     (when.empty() ? "" : " " + std::string(when)) +
                     "; the component went on without " + (n == 1 ? "it" : "them"));
  // The same write refused again is one line with its count; the component's own log lines
  // come after the settings it could not write, which are what an administrator looks for.
  struct Group {
    std::string text;
    std::size_t count = 0;
    bool log = false;
  };
  std::vector<Group> groups;
  for (const RefusedWrite& write : refused) {
    const std::string text = write.write + ": " + write.reason;
    auto same = std::find_if(groups.begin(), groups.end(),
                             [&](const Group& group) { return group.text == text; });
    if (same == groups.end()) {
      groups.push_back({text, 1, write.write.starts_with("Append ")});
    } else {
      ++same->count;
    }
  }
  std::stable_partition(groups.begin(), groups.end(), [](const Group& g) { return !g.log; });
  std::size_t named = 0;
  for (std::size_t i = 0; i < groups.size() && i < kRefusedNamed; ++i) {
    warnings.push_back(
        "refused: " + groups[i].text +
        (groups[i].count > 1 ? " (" + std::to_string(groups[i].count) + " times)" : std::string()));
    named += groups[i].count;
  }
  if (named < n) {
    warnings.push_back("refused: " + std::to_string(n - named) + " more (--json lists all)");
  }
  return warnings;
}

Json RefusedWritesJson(const std::vector<RefusedWrite>& refused) {
  Json list = Json::MakeArray();
  for (const RefusedWrite& write : refused) {
    list.Push(Json::Object{{"write", write.write}, {"reason", write.reason}});
  }
  return list;
}

std::vector<std::string> OutcomeWarnings(const CommandOutcome& outcome) {
  std::vector<std::string> warnings;
  if (!outcome.known) warnings.push_back(UnknownCommandWarning(outcome.command));
  warnings.insert(warnings.end(), outcome.hints.begin(), outcome.hints.end());
  for (const std::string& line : outcome.loggedErrors) {
    warnings.push_back("the component logged: " + line);
  }
  for (std::string& warning : RefusedWriteWarnings(outcome.refusedWrites)) {
    warnings.push_back(std::move(warning));
  }
  return warnings;
}

void TextHostOutput::Notice(const std::string& component, const std::string& code,
                            std::int32_t stage) {
  out_ << "NOTICE " << component << " " << code << " " << stage << "\n";
  out_.flush();
}

void TextHostOutput::Reply(const std::string& text) {
  out_ << text << "\n";
  out_.flush();
}

void TextHostOutput::CommandStarts(const std::string& /*cmd*/) {}

void TextHostOutput::CommandEnded(const CommandOutcome& outcome) {
  for (const std::string& warning : OutcomeWarnings(outcome)) {
    err_ << "davhost: warning: " << VisibleText(warning) << "\n";
  }
  err_.flush();
}

JsonHostOutput::JsonHostOutput()
    : lifetime_(Json::Object{{"notices", Json::MakeArray()},
                             {"replies", Json::MakeArray()},
                             {"warnings", Json::MakeArray()}}),
      commands_(Json::MakeArray()) {}

Json& JsonHostOutput::Current() {
  return inCommand_ ? commands_.Back() : lifetime_;
}

void JsonHostOutput::Notice(const std::string& component, const std::string& code,
                            std::int32_t stage) {
  Current()["notices"].Push(
      Json::Object{{"component", component}, {"code", code}, {"stage", static_cast<int>(stage)}});
}

void JsonHostOutput::Reply(const std::string& text) {
  // "DavIrizevez" TAB code TAB document; the code alone too, for scripts that pick by it.
  std::string code;
  if (const std::size_t first = text.find('\t'); first != std::string::npos) {
    const std::size_t second = text.find('\t', first + 1);
    if (second != std::string::npos) code = text.substr(first + 1, second - first - 1);
  }
  Current()["replies"].Push(Json::Object{{"code", code}, {"text", text}});
}

void TextHostOutput::Warning(const std::string& text) {
  err_ << "davhost: warning: " << VisibleText(text) << "\n";
  err_.flush();
}

void JsonHostOutput::Warning(const std::string& text) {
  lifetime_["warnings"].Push(text);
}

void JsonHostOutput::CommandStarts(const std::string& cmd) {
  commands_.Push(Json::Object{{"command", cmd},
                              {"known", true},
                              {"notices", Json::MakeArray()},
                              {"replies", Json::MakeArray()},
                              {"warnings", Json::MakeArray()},
                              {"errors_logged", Json::MakeArray()},
                              {"refused_writes", Json::MakeArray()},
                              {"exit_code", 0}});
  inCommand_ = true;
}

void JsonHostOutput::CommandEnded(const CommandOutcome& outcome) {
  Json& command = Current();
  command["known"] = outcome.known;
  for (const std::string& warning : OutcomeWarnings(outcome)) command["warnings"].Push(warning);
  for (const std::string& line : outcome.loggedErrors) command["errors_logged"].Push(line);
  command["refused_writes"] = RefusedWritesJson(outcome.refusedWrites);
  command["exit_code"] = outcome.ExitCode();
  inCommand_ = false;
  ++delivered_;
  if (!outcome.known) ++unknown_;
  if (!outcome.loggedErrors.empty()) ++withErrors_;
  refused_ += outcome.refusedWrites.size();
}

Json JsonHostOutput::Document(int exitCode, Json changes) const {
  const Json summary = Json::Object{{"commands", delivered_},
                                    {"unknown_commands", unknown_},
                                    {"commands_with_errors", withErrors_},
                                    {"refused_writes", refused_}};
  Json::Object document{{"lifetime", lifetime_}, {"commands", commands_}, {"summary", summary}};
  if (!changes.IsNull()) document.emplace_back("changes", std::move(changes));
  document.emplace_back("exit_code", exitCode);
  return document;
}

}  // namespace dav::host
