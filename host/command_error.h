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
