#include "host/utf16.h"

#include <cstdint>

namespace dav::host {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at bytes[*pos] and moves *pos past it. An invalid sequence
// yields U+FFFD and moves past its first byte only.
char32_t NextCodePoint(std::string_view bytes, std::size_t* pos, bool* valid) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(*pos);
  std::size_t length = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    *valid = true;
    ++*pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    *valid = false;
    ++*pos;
    return kReplacement;
  }
  if (*pos + length > bytes.size()) {
    *valid = false;
    ++*pos;
    return kReplacement;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(*pos + i);
    if ((next & 0xC0) != 0x80) {
      *valid = false;
      ++*pos;
      return kReplacement;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    *valid = false;
    ++*pos;
    return kReplacement;
  }
  *valid = true;
  *pos += length;
  return cp;
}

void AppendUtf8(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUnit(std::uint16_t unit, std::string* out) {
  out->push_back(static_cast<char>(unit & 0xFF));
  out->push_back(static_cast<char>(unit >> 8));
}

bool IsWide(char32_t cp) {
  return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF && cp != 0x303F) ||
         (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
         (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
         (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

}  // namespace

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (std::size_t pos = 0; pos < utf8.size();) {
    bool valid = false;
    const char32_t cp = NextCodePoint(utf8, &pos, &valid);
    if (cp >= 0x10000) {
      const char32_t v = cp - 0x10000;
      AppendUnit(static_cast<std::uint16_t>(0xD800 | (v >> 10)), &out);
      AppendUnit(static_cast<std::uint16_t>(0xDC00 | (v & 0x3FF)), &out);
    } else {
      AppendUnit(static_cast<std::uint16_t>(cp), &out);
    }
  }
  return out;
}

bool Utf16LeToUtf8(std::string_view bytes, std::string* utf8) {
  if (bytes.size() % 2 != 0) return false;
  const auto unit = [&](std::size_t i) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  };
  const std::size_t units = bytes.size() / 2;
  std::string out;
  out.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
        unit(i + 1) <= 0xDFFF) {
      AppendUtf8(0x10000 + ((char32_t{u} - 0xD800) << 10) + (unit(i + 1) - 0xDC00), &out);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(kReplacement, &out);
    } else {
      AppendUtf8(u, &out);
    }
  }
  *utf8 = std::move(out);
  return true;
}

bool IsValidUtf8(std::string_view bytes, std::size_t* badOffset) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t start = pos;
    bool valid = false;
    NextCodePoint(bytes, &pos, &valid);
    if (!valid) {
      if (badOffset) *badOffset = start;
      return false;
    }
  }
  return true;
}

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t length = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    bool valid = false;
    length += NextCodePoint(utf8, &pos, &valid) >= 0x10000 ? 2 : 1;
  }
  return length;
}

std::size_t DisplayWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    bool valid = false;
    width += IsWide(NextCodePoint(utf8, &pos, &valid)) ? 2 : 1;
  }
  return width;
}

std::size_t Utf8CharacterAt(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || length > bytes.size() || !IsValidUtf8(bytes.substr(0, length))) return 0;
  return length;
}

}  // namespace dav::host
