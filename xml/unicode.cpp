#include "xml/unicode.h"

#include <cstdint>

namespace dav::xml {

bool NextCodePoint(std::string_view text, std::size_t* pos, char32_t* codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const std::size_t start = *pos;
  const unsigned char lead = byte(start);
  *pos = start + 1;
  if (lead < 0x80) {
    *codePoint = lead;
    return true;
  }
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return false;
  }
  if (start + length > text.size()) return false;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(start + i);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *pos = start + length;
  *codePoint = value;
  return true;
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::size_t FindInvalidUtf8(std::string_view text) {
  std::size_t pos = 0;
  char32_t c;
  while (pos < text.size()) {
    const std::size_t start = pos;
    if (!NextCodePoint(text, &pos, &c)) return start;
  }
  return std::string_view::npos;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::size_t* faultUnit) {
  const std::size_t units = bytes.size() / 2;
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[2 * i]);
    const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
    return bigEndian ? (a << 8) | b : (b << 8) | a;
  };
  std::string out;
  out.reserve(bytes.size());
  if (faultUnit) *faultUnit = std::string_view::npos;
  for (std::size_t i = 0; i < units; ++i) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
        unit(i + 1) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      if (faultUnit) *faultUnit = i;
      return out;
    }
    AppendUtf8(c, &out);
  }
  if (bytes.size() % 2 != 0 && faultUnit) *faultUnit = units;
  return out;
}

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  const auto put = [&](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  std::size_t pos = 0;
  char32_t c;
  while (pos < utf8.size()) {
    if (!NextCodePoint(utf8, &pos, &c)) c = kReplacementCharacter;
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

}  // namespace dav::xml
