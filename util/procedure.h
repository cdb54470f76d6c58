// The component's procedures run as numbered steps (10, 20, 30 ...) and log alike:
//
//   "<module>.<procedure> Start"                 on entry
//   "[err:<module>.<procedure>] line <step>, <error number>, <description>"   on a failure
//   "<module>.<procedure> End"                   on exit
//
// A procedure that goes on after a failing step writes each step as
//
//     Procedure proc(log, "CCDavIrizevez", "SyncReg");
//     proc.Step(10, [&] { ... });
//     proc.Step(20, [&] { ... });
//
// and one that ends at the first failure marks its steps and catches once:
//
//     Procedure proc(log, "CCDavIrizevez", "IClientComponent_Handle");
//     try {
//       proc.Line(10); ...
//       proc.Line(20); ...
//     } catch (...) { proc.LogFailure(); }
//
// The End line is written when the Procedure goes out of scope, also after a failure.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "util/log.h"

namespace dav::util {

// What a caught failure reports: the run-time error number and description.
struct Failure {
  std::int32_t number = 0;
  std::string description;
};

// Describes the exception in flight (call inside a catch block). A RunTimeError keeps its
// number; memory exhaustion is 7; anything else is an automation error (440) with its text.
Failure CurrentFailure();

class Procedure {
 public:
  enum class Logging { StartEnd, FailuresOnly };

  Procedure(Log& log, std::string_view module, std::string_view name,
            Logging logging = Logging::StartEnd);
  ~Procedure();
  Procedure(const Procedure&) = delete;
  Procedure& operator=(const Procedure&) = delete;

  // The step that runs now; a failure is reported with this number.
  void Line(int step) { line_ = step; }
  int line() const { return line_; }

  // Runs one step. A failure is logged with the step's number and the procedure goes on;
  // the result says whether the step succeeded. The body is called in place, not wrapped in a
  // std::function: a procedure runs many steps, and each wrapper may cost an allocation.
  template <typename Body>
  bool Step(int step, Body&& body) {
    line_ = step;
    try {
      body();
      return true;
    } catch (...) {
      LogFailure();
      return false;
    }
  }

  // Runs one step; a failure is handed to onFailure (with the step's number) instead of the
  // standard log line.
  bool Step(int step, const std::function<void()>& body,
            const std::function<void(int step, const Failure&)>& onFailure);

  // Logs the failure in flight at the current line (call inside a catch block).
  void LogFailure();
  void LogFailure(const Failure& failure);

  // "<module>.<procedure>", the source name of the procedure's messages.
  const std::string& source() const { return source_; }

 private:
  // Writes source_ followed by mark (" Start", " End") as one log line.
  void WriteMarked(std::string_view mark);

  Log& log_;
  std::string source_;
  Logging logging_;
  int line_ = 0;
};

}  // namespace dav::util
