// Why a document did not load, in the seven fields that the component logs, and the helper
// that writes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/log.h"

namespace dav::xml {

// The errorCode of a failed load. The numbers appear in log files, so they never change.
enum ParseErrorCode : std::int32_t {
  kXmlNoError = 0,
  kXmlFileUnreadable = 1,       // the file is missing or cannot be read
  kXmlUnsupportedEncoding = 2,  // the declaration names an encoding this system lacks
  kXmlInvalidCharacter = 3,     // bytes that are no character of the encoding, or a
                                // character that XML does not allow (control characters)
  kXmlNoRootElement = 4,
  kXmlMultipleRoots = 5,
  kXmlTextOutsideRoot = 6,
  kXmlBadMarkup = 7,  // a malformed comment, processing instruction, CDATA or DOCTYPE
  kXmlBadStartTag = 8,
  kXmlBadAttribute = 9,
  kXmlBadEndTag = 10,
  kXmlTagMismatch = 11,   // an end tag that closes another element, or one never closed
  kXmlBadReference = 12,  // "&" that starts no known entity or a valid character reference
  kXmlDuplicateAttribute = 13,
  kXmlLessThanInAttribute = 14,
};

struct ParseError {
  std::int32_t errorCode = kXmlNoError;
  std::int64_t filepos = 0;  // characters before the fault, counted from 0
  std::int32_t line = 0;     // from 1; 0 when the fault has no place in the text
  std::int32_t linepos = 0;  // character within the line, from 1
  std::string reason;
  std::string srcText;  // the line that holds the fault, without its line end
  std::string url;      // the file's path; empty for a document loaded from text

  bool failed() const { return errorCode != kXmlNoError; }
};

// A fault at a byte offset of a UTF-8 text: the position, line, line position and source
// line filled in. Lines end at LF, CR LF or a lone CR. A byte that is not UTF-8 counts as
// one character.
ParseError ErrorAt(std::string_view text, std::size_t offset, std::int32_t code, std::string reason,
                   std::string url);

// Writes the seven lines "Err (errorCode) -> " ... "Err (URL) -> " through the log writer.
void LogParseError(util::Log& log, const ParseError& error);

}  // namespace dav::xml
