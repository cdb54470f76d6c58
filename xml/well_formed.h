// The well-formedness rules that the underlying parser lets pass: it accepts a second root
// element, text outside the root, "&" that starts no entity, character references to
// characters XML forbids, "<" inside an attribute value, a repeated attribute and control
// characters. A document breaking any of them does not load, so that what loads is XML
// and a document never carries a reference we would leave unresolved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dav::xml {

struct WellFormednessFault {
  std::size_t offset = 0;  // byte offset of the fault in the text
  std::int32_t code = 0;   // a ParseErrorCode
  std::string reason;
};

// Checks a UTF-8 text that the parser has already accepted (so its tags, quotes and
// comments are closed). Returns the first fault, or nullopt.
std::optional<WellFormednessFault> FindWellFormednessFault(std::string_view text);

}  // namespace dav::xml
