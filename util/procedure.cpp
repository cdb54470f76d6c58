#include "util/procedure.h"

#include <new>

#include "util/run_time_error.h"

namespace dav::util {

Failure CurrentFailure() {
  try {
    throw;
  } catch (const RunTimeError& e) {
    return {e.number(), e.description()};
  } catch (const std::bad_alloc&) {
    return {7, StandardMessage(7)};
  } catch (const std::exception& e) {
    return {kErrAutomation, e.what()};
  } catch (...) {
    return {kErrAutomation, StandardMessage(kErrAutomation)};
  }
}

Procedure::Procedure(Log& log, std::string_view module, std::string_view name, Logging logging)
    : log_(log), source_(std::string(module) + "." + std::string(name)), logging_(logging) {
  if (logging_ == Logging::StartEnd) log_.Write(source_ + " Start");
}

Procedure::~Procedure() {
  if (logging_ == Logging::StartEnd) log_.Write(source_ + " End");
}

bool Procedure::Step(int step, const std::function<void()>& body,
                     const std::function<void(int step, const Failure&)>& onFailure) {
  line_ = step;
  try {
    body();
    return true;
  } catch (...) {
    onFailure(step, CurrentFailure());
    return false;
  }
}

void Procedure::LogFailure() {
  LogFailure(CurrentFailure());
}

void Procedure::LogFailure(const Failure& failure) {
  log_.Write("[err:" + source_ + "] line " + std::to_string(line_) + ", " +
             std::to_string(failure.number) + ", " + failure.description);
}

}  // namespace dav::util
