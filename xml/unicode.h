// UTF-8 and UTF-16 helpers for documents: walking a text character by character, checking
// that bytes are UTF-8, and the UTF-16 forms a document file may be stored in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dav::xml {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Reads the character at text[*pos] and moves *pos past it. A byte that does not start a
// well-formed UTF-8 sequence (overlong forms and surrogates included) gives false and moves
// *pos on by that one byte.
bool NextCodePoint(std::string_view text, std::size_t* pos, char32_t* codePoint);

void AppendUtf8(char32_t codePoint, std::string* out);

// The offset of the first byte that is not part of a well-formed UTF-8 character, or npos.
std::size_t FindInvalidUtf8(std::string_view text);

// UTF-16 bytes (without a byte order mark) to UTF-8. An unpaired surrogate or a dangling
// last byte stops the conversion: *faultUnit, when given, receives the index of the
// offending 16-bit unit and the result holds what came before it; npos when all converted.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::size_t* faultUnit = nullptr);

// UTF-8 to UTF-16 little-endian bytes, without a byte order mark. The input must be valid.
std::string Utf8ToUtf16Le(std::string_view utf8);

}  // namespace dav::xml
