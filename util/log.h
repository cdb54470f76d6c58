// The component's two log files and its error reporter.
//
//  - The log writer appends "[yyyy-mm-dd hh:nn:ss]" TAB message CR LF to
//    <component folder>\log\<name><yymmdd>.log, where name is the prefix or, without one,
//    the component's own name.
//  - The debug log writer appends "<general date> : " message CR LF to
//    <component folder>\New_Debug_<yyyy-mm-dd>.log and deletes yesterday's file first, so
//    at most two exist at midnight.
//  - The error reporter writes a failure to the debug log and, unless told to keep going,
//    raises it again for the caller's own handler.
//
// Lines are written in the machine's ANSI code page. Logging never fails: a log that cannot
// be written is skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace dav::util {

class Log {
 public:
  Log(platform::Platform& platform, std::string componentFolder,
      std::string componentName = "DavIrizevez");

  // A log that writes nothing: for reading the PC through the component's code without
  // leaving a line behind. Failures still reach the caller as ReportError raises them.
  void Silence() { silent_ = true; }

  // The log writer.
  void Write(std::string_view message, std::string_view prefix = {}) noexcept;

  // The debug log writer.
  void Debug(std::string_view message) noexcept;

  // The error reporter. When the number has all bits of 0x80040000 set, the text is the
  // run-time's message for the number less 0x80040000, else the description. Writes
  // " [source] " TAB number TAB text to the debug log; unless keepGoing, throws
  // RunTimeError(number, source, text).
  void ReportError(std::string_view source, std::int32_t number, std::string_view description,
                   bool keepGoing);

  // The file the log writer writes today for the prefix, and today's debug log.
  std::string LogFilePath(std::string_view prefix = {});
  std::string DebugLogPath();

  platform::Platform& platform() { return platform_; }
  const std::string& componentFolder() const { return folder_; }

 private:
  platform::Platform& platform_;
  std::string folder_;
  std::string name_;
  bool silent_ = false;
};

}  // namespace dav::util
