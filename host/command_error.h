// A command that cannot be carried out: main prints "davhost: <message>" on stderr and
// exits non-zero.
#pragma once

#include <stdexcept>
#include <string>

namespace dav::host {

class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace dav::host

namespace dav::host {

// A command that has printed all it has to say and ends with this exit status.
class CommandExit {
 public:
  explicit CommandExit(int status) : status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

}  // namespace dav::host
