// The encodings a document file is stored in: which code page an encoding name in the XML
// declaration stands for, turning a file's bytes into UTF-8 text, and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "xml/parse_error.h"

namespace dav::xml {

// UTF-16 little-endian, as Windows numbers it. The platform's code page conversion does not
// cover it; this layer converts it itself.
inline constexpr std::uint32_t kCodePageUtf16 = 1200;

// The code page for an encoding name of an XML declaration, compared without regard to
// case: "ks_c_5601-1987", "euc-kr", "cp949" and "ks_c_5601" are 949 (the Korean code page
// is a superset of EUC-KR, and iconv knows no "ks_c_5601-1987"), "utf-8" 65001, "utf-16"
// 1200, "windows-<n>" and "cp<n>" code page n, and a few ISO names. nullopt when unknown.
std::optional<std::uint32_t> CodePageOfEncoding(std::string_view name);

// The value of the encoding pseudo-attribute of the XML declaration at the start of the
// text, or empty when there is no declaration or it names no encoding. The declaration is
// ASCII, so this works on the raw bytes of any ASCII-compatible encoding too.
std::string DeclaredEncoding(std::string_view text);

// A file's bytes as UTF-8: a byte order mark (UTF-8, UTF-16 LE or BE) or a UTF-16 start
// "<?" decides first; otherwise the declared encoding, UTF-8 when none is declared. On a
// fault, returns a ParseError (without URL) that says which byte or character is at fault.
std::optional<ParseError> DecodeDocumentBytes(std::string_view bytes, std::string* utf8);

// UTF-8 text to the bytes of the code page. A character the code page cannot hold is
// written as a numeric character reference ("&#12345;") so that nothing is lost; UTF-16 is
// written little-endian with a byte order mark, UTF-8 without one. False when the code page
// is not supported.
bool EncodeDocumentText(std::uint32_t codePage, std::string_view utf8, std::string* bytes);

}  // namespace dav::xml
