#include "util/log.h"

#include <utility>

#include "util/ansi_text.h"
#include "util/date_format.h"
#include "util/run_time_error.h"

namespace dav::util {

Log::Log(platform::Platform& platform, std::string componentFolder, std::string componentName)
    : platform_(platform), folder_(std::move(componentFolder)), name_(std::move(componentName)) {}

std::string Log::LogFilePath(std::string_view prefix) {
  const std::string_view name = prefix.empty() ? std::string_view(name_) : prefix;
  const std::string day = FormatShortDay(platform_.clock().Now());
  std::string path;
  path.reserve(folder_.size() + name.size() + day.size() + 10);
  path.append(folder_).append("\\log\\").append(name).append(day).append(".log");
  return path;
}

std::string Log::DebugLogPath() {
  const auto today = std::chrono::floor<std::chrono::days>(platform_.clock().Now());
  return folder_ + "\\New_Debug_" + FormatIsoDay(today) + ".log";
}

void Log::Write(std::string_view message, std::string_view prefix) noexcept {
  if (muted_) return;
  try {
    auto& files = platform_.files();
    std::string logFolder;
    logFolder.reserve(folder_.size() + 4);
    logFolder.append(folder_).append("\\log");
    if (files.GetAttributes(logFolder) == platform::kInvalidAttributes) {
      files.MakeFolder(logFolder);
    }
    // Built in one piece: a line is written for every step of the component's procedures.
    std::string line;
    line.reserve(message.size() + 24);
    line.append("[");
    AppendLogStamp(platform_.clock().Now(), &line);
    line.append("]\t").append(message).append("\r\n");
    const std::string path = LogFilePath(prefix);
    if (IsAscii(line)) {
      files.Append(path, line);
    } else {
      files.Append(path, ToAnsi(platform_, line));
    }
  } catch (...) {
    // A log line that cannot be written is dropped; logging never stops the caller.
  }
}

void Log::Debug(std::string_view message) noexcept {
  if (muted_) return;
  try {
    auto& files = platform_.files();
    const auto now = platform_.clock().Now();
    const auto yesterday = std::chrono::floor<std::chrono::days>(now) - std::chrono::days(1);
    const std::string old = folder_ + "\\New_Debug_" + FormatIsoDay(yesterday) + ".log";
    if (files.GetAttributes(old) != platform::kInvalidAttributes) files.Delete(old);
    const std::string date = FormatGeneralDate(now, platform_.system().Locale());
    std::string line;
    line.reserve(date.size() + message.size() + 5);
    line.append(date).append(" : ").append(message).append("\r\n");
    files.Append(DebugLogPath(), ToAnsi(platform_, line));
  } catch (...) {
    // As Write: never a failure of its own.
  }
}

void Log::ReportError(std::string_view source, std::int32_t number, std::string_view description,
                      bool keepGoing) {
  constexpr std::uint32_t kObjectErrorBits = 0x80040000u;
  std::string text(description);
  const auto bits = static_cast<std::uint32_t>(number);
  if ((bits & kObjectErrorBits) == kObjectErrorBits) {
    text = StandardMessage(static_cast<std::int32_t>(bits - kObjectErrorBits));
  }
  Debug(" [" + std::string(source) + "] \t" + std::to_string(number) + "\t" + text);
  if (!keepGoing) throw RunTimeError(number, std::string(source), text);
}

}  // namespace dav::util
