#include "util/procedure.h"

#include <new>

#include "util/run_time_error.h"

namespace dav::util {
namespace {

constexpr std::string_view kLongestMark = " Start";

}  // namespace

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

// The source name keeps room for the marks, so that the Start and End lines need no text of
// their own.
Procedure::Procedure(Log& log, std::string_view module, std::string_view name, Logging logging)
    : log_(log), logging_(logging) {
  source_.reserve(module.size() + 1 + name.size() + kLongestMark.size());
  source_.append(module).append(".").append(name);
  if (logging_ == Logging::StartEnd) WriteMarked(" Start");
}

Procedure::~Procedure() {
  if (logging_ == Logging::StartEnd) WriteMarked(" End");
}

void Procedure::WriteMarked(std::string_view mark) {
  const std::size_t size = source_.size();
  source_.append(mark);
  log_.Write(source_);
  source_.resize(size);
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
