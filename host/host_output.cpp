#include "host/host_output.h"

#include "host/component_command_names.h"
#include "host/exit_codes.h"
#include "host/text_table.h"

namespace dav::host {

int CommandOutcome::ExitCode() const {
  if (!loggedErrors.empty()) return kExitComponentError;
  return known ? kExitOk : kExitUnknownCommand;
}

std::vector<std::string> OutcomeWarnings(const CommandOutcome& outcome) {
  std::vector<std::string> warnings;
  if (!outcome.known) warnings.push_back(UnknownCommandWarning(outcome.command));
  for (const std::string& line : outcome.loggedErrors) {
    warnings.push_back("the component logged: " + line);
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
    : lifetime_(Json::Object{{"notices", Json::MakeArray()}, {"replies", Json::MakeArray()}}),
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

void JsonHostOutput::CommandStarts(const std::string& cmd) {
  commands_.Push(Json::Object{{"command", cmd},
                              {"known", true},
                              {"notices", Json::MakeArray()},
                              {"replies", Json::MakeArray()},
                              {"warnings", Json::MakeArray()},
                              {"errors_logged", Json::MakeArray()},
                              {"exit_code", 0}});
  inCommand_ = true;
}

void JsonHostOutput::CommandEnded(const CommandOutcome& outcome) {
  Json& command = Current();
  command["known"] = outcome.known;
  for (const std::string& warning : OutcomeWarnings(outcome)) command["warnings"].Push(warning);
  for (const std::string& line : outcome.loggedErrors) command["errors_logged"].Push(line);
  command["exit_code"] = outcome.ExitCode();
  inCommand_ = false;
  ++delivered_;
  if (!outcome.known) ++unknown_;
  if (!outcome.loggedErrors.empty()) ++withErrors_;
}

Json JsonHostOutput::Document(int exitCode) const {
  const Json summary = Json::Object{{"commands", delivered_},
                                    {"unknown_commands", unknown_},
                                    {"commands_with_errors", withErrors_}};
  return Json::Object{{"lifetime", lifetime_},
                      {"commands", commands_},
                      {"summary", summary},
                      {"exit_code", exitCode}};
}

}  // namespace dav::host
