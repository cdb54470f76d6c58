// The error handler every start program operation has: a run-time failure goes to the
// error reporter under the operation's source name, which logs it and raises it again.
#pragma once

#include <string_view>

#include "util/log.h"
#include "util/procedure.h"

namespace dav::startup {

template <typename Body>
decltype(auto) Reported(util::Log& log, std::string_view source, Body&& body) {
  try {
    return body();
  } catch (...) {
    const util::Failure failure = util::CurrentFailure();
    log.ReportError(source, failure.number, failure.description, false);
    throw;  // not reached: the reporter raises the failure again
  }
}

}  // namespace dav::startup
