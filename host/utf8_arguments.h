// The command line in UTF-8. On Windows argv is in the ANSI code page, so the arguments
// are taken from the wide command line instead, and console output is switched to UTF-8.
// Elsewhere argv is taken as it comes, so an argument may be bytes that are not UTF-8: such
// an argument would become a name that no listing shows and no later command can type, so
// davhost refuses it before any command sees it.
#pragma once

#include <string>
#include <vector>

namespace dav::host {

class Utf8Arguments {
 public:
  Utf8Arguments(int argc, char** argv);

  int argc() const { return static_cast<int>(pointers_.size()) - 1; }
  char** argv() { return pointers_.data(); }

  // The position of the first argument that is not valid UTF-8 (1 for the first after the
  // program's name), or 0 when all are.
  int FirstInvalid() const;

 private:
  std::vector<std::string> arguments_;
  std::vector<char*> pointers_;  // into arguments_, ending in nullptr
};

}  // namespace dav::host
