// The command line in UTF-8. On Windows argv is in the ANSI code page, so the arguments
// are taken from the wide command line instead, and console output is switched to UTF-8.
#pragma once

#include <string>
#include <vector>

namespace dav::host {

class Utf8Arguments {
 public:
  Utf8Arguments(int argc, char** argv);

  int argc() const { return static_cast<int>(pointers_.size()) - 1; }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> arguments_;
  std::vector<char*> pointers_;  // into arguments_, ending in nullptr
};

}  // namespace dav::host
