#include "host/session_line.h"

namespace dav::host {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool Unescape(std::string_view text, std::string* out, std::string* error) {
  out->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *out += text[i];
      continue;
    }
    if (++i == text.size()) {
      *error = "a backslash ends the line (write a backslash as \\\\)";
      return false;
    }
    switch (text[i]) {
      case '\\':
        *out += '\\';
        break;
      case 't':
        *out += '\t';
        break;
      case 'n':
        *out += '\n';
        break;
      case 'r':
        *out += '\r';
        break;
      case 'x': {
        const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
          *error = "\\x needs two hexadecimal digits, as \\x1d (write a backslash as \\\\)";
          return false;
        }
        *out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default:
        *error = std::string("unknown escape \\") + text[i] +
                 " (escapes are \\t \\n \\r \\xHH \\\\; write a backslash as \\\\)";
        return false;
    }
  }
  return true;
}

bool ParseSessionLine(std::string_view line, SessionLine* out, std::string* error) {
  *out = SessionLine{};
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.find_first_not_of(' ') == std::string_view::npos) {
    out->blank = true;
    return true;
  }
  const std::size_t tab = line.find('\t');
  const std::string_view command = line.substr(0, tab);
  const std::string_view protocol =
      tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
  if (!Unescape(command, &out->command, error)) return false;
  if (out->command.empty()) {
    *error = "the line has no command before its TAB";
    return false;
  }
  // "@" is looked at before the escapes, so "\x40" still gives a protocol starting with "@".
  const bool document = !protocol.empty() && protocol.front() == '@';
  std::string text;
  if (!Unescape(document ? protocol.substr(1) : protocol, &text, error)) return false;
  if (!document) {
    out->protocol = std::move(text);
    return true;
  }
  const std::size_t separator = text.find('\x1d');
  out->documentFile = text.substr(0, separator);
  out->protocol = separator == std::string::npos ? "" : text.substr(separator);
  if (out->documentFile.empty()) {
    *error = "@ needs the name of a document file";
    return false;
  }
  return true;
}

}  // namespace dav::host
