#include "xml/parse_error.h"

#include <utility>

#include "xml/unicode.h"

namespace dav::xml {

ParseError ErrorAt(std::string_view text, std::size_t offset, std::int32_t code, std::string reason,
                   std::string url) {
  if (offset > text.size()) offset = text.size();
  ParseError error;
  error.errorCode = code;
  error.reason = std::move(reason);
  error.url = std::move(url);
  error.line = 1;
  std::size_t lineStart = 0;
  std::int64_t characters = 0;
  std::int32_t column = 0;
  std::size_t pos = 0;
  char32_t c;
  while (pos < offset) {
    const char byte = text[pos];
    NextCodePoint(text, &pos, &c);
    ++characters;
    ++column;
    const bool crBeforeLf = byte == '\r' && pos < text.size() && text[pos] == '\n';
    if ((byte == '\n' || byte == '\r') && !crBeforeLf) {
      ++error.line;
      column = 0;
      lineStart = pos;
    }
  }
  error.filepos = characters;
  error.linepos = column + 1;
  const std::size_t lineEnd = text.find_first_of("\r\n", lineStart);
  error.srcText = std::string(text.substr(
      lineStart, lineEnd == std::string_view::npos ? std::string_view::npos : lineEnd - lineStart));
  return error;
}

void LogParseError(util::Log& log, const ParseError& error) {
  log.Write("Err (errorCode) -> " + std::to_string(error.errorCode));
  log.Write("Err (filepos) -> " + std::to_string(error.filepos));
  log.Write("Err (Line) -> " + std::to_string(error.line));
  log.Write("Err (linepos) -> " + std::to_string(error.linepos));
  log.Write("Err (reason) -> " + error.reason);
  log.Write("Err (srcText) -> " + error.srcText);
  log.Write("Err (URL) -> " + error.url);
}

}  // namespace dav::xml
