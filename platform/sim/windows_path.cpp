#include "platform/sim/windows_path.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace dav::platform::sim {
namespace {

constexpr bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

constexpr bool IsWildcard(char c) {
  return c == '*' || c == '?';
}

// Characters no Windows file name may hold (the separators are handled apart).
constexpr bool IsForbidden(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '*' ||
         c == '?';
}

// What each byte is to a path, looked up once per byte while a path is taken apart.
enum ByteKind : std::uint8_t {
  kNameByte = 0,
  kSeparatorByte = 1,
  kForbiddenByte = 2,
  kWildcardByte = 4
};
constexpr std::array<std::uint8_t, 256> kByteKinds = [] {
  std::array<std::uint8_t, 256> kinds{};
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    if (IsSeparator(c)) {
      kinds[byte] = kSeparatorByte;
    } else if (IsWildcard(c)) {
      kinds[byte] = kWildcardByte;
    } else if (IsForbidden(c)) {
      kinds[byte] = kForbiddenByte;
    }
  }
  return kinds;
}();

char FoldCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The code points of a UTF-8 text; a byte that starts no valid sequence stands for itself
// (as 0xDC00 + byte), so that any text can be matched.
std::vector<std::uint32_t> CodePoints(std::string_view text) {
  std::vector<std::uint32_t> points;
  std::size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80    ? 1
                         : lead >= 0xF0 ? 4
                         : lead >= 0xE0 ? 3
                         : lead >= 0xC2 ? 2
                                        : 0;
    std::uint32_t point = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = length > 0 && length <= 4 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      point = (point << 6) | (next & 0x3F);
    }
    if (!valid) {
      points.push_back(0xDC00 + lead);
      ++i;
      continue;
    }
    points.push_back(point);
    i += length;
  }
  return points;
}

// True when every byte belongs to a valid UTF-8 sequence that is no surrogate (as
// CodePoints reads them, without making the list: every listed name is checked).
bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return false;
    std::uint32_t point = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    if (point >= 0xD800 && point <= 0xDFFF) return false;
    i += length;
  }
  return true;
}

std::uint32_t FoldPoint(std::uint32_t p) {
  return p >= 'A' && p <= 'Z' ? p - 'A' + 'a' : p;
}

}  // namespace

Status ParseWindowsPath(std::string_view text, bool allowWildcards, WindowsPath* path) {
  *path = WindowsPath{};
  if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) return kErrorBadNetPath;
  bool hasDrive = text.size() >= 3 &&
                  ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
  if (!hasDrive || text[1] != ':' || !IsSeparator(text[2])) return kErrorPathNotFound;
  path->drive = static_cast<char>(text[0] & ~0x20);

  // Trailing separators end no name: the last name ends where they begin.
  std::size_t textEnd = text.size();
  while (textEnd > 3 && IsSeparator(text[textEnd - 1])) --textEnd;
  for (std::size_t start = 3; start < textEnd;) {
    std::size_t end = start;
    std::uint8_t kinds = kNameByte;  // the kinds of the name's bytes, or-ed
    for (; end < textEnd; ++end) {
      const std::uint8_t kind = kByteKinds[static_cast<unsigned char>(text[end])];
      if (kind == kSeparatorByte) break;
      kinds |= kind;
    }
    std::string_view part = text.substr(start, end - start);
    const bool last = end == textEnd;
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!path->names.empty()) path->names.pop_back();
      continue;
    }
    while (!part.empty() && (part.back() == '.' || (last && part.back() == ' '))) {
      part.remove_suffix(1);
    }
    // The dots and spaces cut above are no forbidden characters: the name's kinds still hold.
    if (part.empty() || (kinds & kForbiddenByte) != 0) return kErrorInvalidName;
    if ((kinds & kWildcardByte) != 0 && !(allowWildcards && last)) return kErrorInvalidName;
    path->names.emplace_back(part);
  }
  path->trailingSeparator = IsSeparator(text.back()) && !path->names.empty();
  return kErrorSuccess;
}

bool IsValidEntryName(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (char c : name) {
    if (IsForbidden(c) || IsSeparator(c)) return false;
  }
  return IsValidUtf8(name);
}

bool HasWildcards(std::string_view name) {
  return std::any_of(name.begin(), name.end(), IsWildcard);
}

bool NamesEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

bool NameLess(std::string_view a, std::string_view b) {
  bool foldedLess =
      std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
      });
  if (foldedLess || !NamesEqual(a, b)) return foldedLess;
  return a < b;
}

bool MatchesPattern(std::string_view patternText, std::string_view nameText) {
  if (patternText == "*") return true;  // the whole listing of a folder, the common case
  auto pattern = CodePoints(patternText);
  auto name = CodePoints(nameText);
  const std::size_t m = pattern.size();
  const std::size_t n = name.size();
  // matches[i * (n + 1) + j]: pattern from i matches name from j. Filled from the ends, so
  // the work is m * n whatever the pattern.
  std::vector<char> matches((m + 1) * (n + 1), 0);
  auto at = [&](std::size_t i, std::size_t j) -> char& { return matches[i * (n + 1) + j]; };
  at(m, n) = 1;
  for (std::size_t i = m; i-- > 0;) {
    // At the end of the name only "*" and ".*" are left to match nothing.
    if (pattern[i] == '*') {
      at(i, n) = at(i + 1, n);
    } else if (pattern[i] == '.' && i + 1 < m && pattern[i + 1] == '*') {
      at(i, n) = at(i + 2, n);
    }
    for (std::size_t j = n; j-- > 0;) {
      if (pattern[i] == '*') {
        at(i, j) = at(i + 1, j) || at(i, j + 1);
      } else if (pattern[i] == '?' || FoldPoint(pattern[i]) == FoldPoint(name[j])) {
        at(i, j) = at(i + 1, j + 1);
      }
    }
  }
  return at(0, 0) != 0;
}

}  // namespace dav::platform::sim
