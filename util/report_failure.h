// The error reporter around a whole procedure: many small helpers hand any run-time failure
// to the error reporter under their own name, which logs it to the debug log and raises it
// again for the caller's handler.
#pragma once

#include <string_view>

#include "util/log.h"
#include "util/procedure.h"

namespace dav::util {

// Runs body and gives its result; a failure is reported under source and raised again.
template <typename Body>
auto ReportingFailures(Log& log, std::string_view source, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    const Failure failure = CurrentFailure();
    log.ReportError(source, failure.number, failure.description, false);
    throw;  // not reached: the reporter raises the failure again
  }
}

}  // namespace dav::util
