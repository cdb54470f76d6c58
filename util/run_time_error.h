// Run-time errors as the component reports them: a number, the source that raised it and a
// description. The numbers are those of the original run-time, so that log lines read the
// same as on the installed base:
//
//    5  invalid procedure call or argument      53  file not found
//    6  overflow                                 75  path/file access error
//    9  subscript out of range                   76  path not found
//   13  type mismatch (a text that is no number) 91  object variable not set
//   52  bad file name or number                  440 automation error (a failing call)
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace dav::util {

inline constexpr std::int32_t kErrInvalidCall = 5;
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrSubscript = 9;
inline constexpr std::int32_t kErrTypeMismatch = 13;
inline constexpr std::int32_t kErrBadFileName = 52;
inline constexpr std::int32_t kErrFileNotFound = 53;
inline constexpr std::int32_t kErrPathFileAccess = 75;
inline constexpr std::int32_t kErrPathNotFound = 76;
inline constexpr std::int32_t kErrObjectNotSet = 91;
inline constexpr std::int32_t kErrAutomation = 440;

// The run-time's own wording for an error number ("Type mismatch" for 13); numbers it does
// not know read "Application-defined or object-defined error".
std::string StandardMessage(std::int32_t number);

class RunTimeError : public std::runtime_error {
 public:
  RunTimeError(std::int32_t number, std::string source, std::string description);
  // An error with the run-time's own description of the number.
  RunTimeError(std::int32_t number, std::string source = {});

  std::int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

}  // namespace dav::util
