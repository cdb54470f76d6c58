// davhost's exit codes, in one table: main returns them, --help lists them, and the
// reference (docs/davhost.md) shows the same table.
#pragma once

#include <string>

namespace dav::host {

enum ExitCode : int {
  kExitOk = 0,
  kExitFailed = 1,          // the command could not be carried out
  kExitUsage = 2,           // a command line that does not parse, an argument not UTF-8
  kExitUnknownCommand = 3,  // handle/session: a command the component has no name for
  kExitComponentError = 4,  // the component logged an error, or the machine refused a write
};

// What --version prints: davhost's version and the component's it is built with.
std::string VersionText();

// The table as --help shows it: one line per code, "  N  meaning".
std::string ExitCodeTable();

// Of two outcomes the one a script should see: the higher code. (A component error is
// worse than an unknown name; a failed command ends davhost before either is known.)
inline int WorseExit(int a, int b) {
  return a > b ? a : b;
}

}  // namespace dav::host
