// One line of a davhost session: a command, a TAB and its protocol, with escapes so that a
// protocol can carry what a line cannot: \t (TAB), \n (line feed), \r (carriage return),
// \xHH (any byte, \x1d for the character 29 between protocol fields) and \\ (a backslash).
// A protocol that starts with "@" names a document file instead: the file's text replaces
// the name, up to the first character 29, so "@WinConfig.qsf\x1dTrue" is the document, the
// separator and "True".
#pragma once

#include <string>
#include <string_view>

namespace dav::host {

struct SessionLine {
  bool blank = false;  // nothing but blanks: no command
  std::string command;
  std::string documentFile;  // the file of "@FILE", empty when there is none
  std::string protocol;      // the protocol, or with a document what follows the file's text
};

// Undoes the escapes above. False with the reason in *error for an unknown escape, a
// backslash at the end or \x without two hexadecimal digits.
bool Unescape(std::string_view text, std::string* out, std::string* error);

// Reads one line (a trailing CR is ignored). False with the reason in *error.
bool ParseSessionLine(std::string_view line, SessionLine* out, std::string* error);

}  // namespace dav::host
