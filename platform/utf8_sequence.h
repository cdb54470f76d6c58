// Reading UTF-8 one sequence at a time, as both backends' code page conversions need it to
// count a broken character the way Windows does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dav::platform {

// One UTF-8 sequence read from the start of text (which must not be empty). An ill-formed
// sequence reports the length of its longest well-formed beginning (at least one byte), so
// that a broken or cut-off character counts once, as Windows counts it.
struct Utf8Sequence {
  std::size_t length = 1;
  bool valid = false;
  std::uint32_t codePoint = 0;
};

inline Utf8Sequence ReadUtf8Sequence(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {1, true, lead};
  std::size_t need = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return {};
  }
  std::uint32_t point = lead & (0x7Fu >> need);
  std::size_t length = 1;
  while (length < need && length < text.size()) {
    const auto next = static_cast<unsigned char>(text[length]);
    if (next < (length == 1 ? low : 0x80) || next > (length == 1 ? high : 0xBF)) break;
    point = (point << 6) | (next & 0x3Fu);
    ++length;
  }
  return {length, length == need, length == need ? point : 0};
}

}  // namespace dav::platform
