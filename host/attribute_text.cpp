#include "host/attribute_text.h"

#include <cctype>

#include "platform/file_system.h"

namespace dav::host {
namespace {

struct Letter {
  char letter;
  std::uint32_t bit;
};

constexpr Letter kLetters[] = {{'R', platform::kAttrReadOnly},
                               {'H', platform::kAttrHidden},
                               {'S', platform::kAttrSystem},
                               {'D', platform::kAttrDirectory},
                               {'A', platform::kAttrArchive}};

}  // namespace

std::string AttributeLetters(std::uint32_t attributes) {
  std::string out;
  for (const Letter& l : kLetters) out.push_back((attributes & l.bit) ? l.letter : '-');
  return out;
}

bool ApplyAttributeChanges(const std::vector<std::string>& changes, std::uint32_t* attributes,
                           std::string* error) {
  std::uint32_t set = 0;
  std::uint32_t cleared = 0;
  for (const std::string& change : changes) {
    std::uint32_t bit = 0;
    if (change.size() == 2 && (change[0] == '+' || change[0] == '-')) {
      const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(change[1])));
      for (const Letter& l : kLetters) {
        if (l.letter == letter && l.bit != platform::kAttrDirectory) bit = l.bit;
      }
    }
    if (bit == 0) {
      *error = "unknown attribute change '" + change + "' (use +R -R +H -H +S -S +A -A)";
      return false;
    }
    (change[0] == '+' ? set : cleared) |= bit;
  }
  if (set & cleared) {
    *error = "an attribute cannot be both set and cleared";
    return false;
  }
  *attributes = (*attributes | set) & ~cleared;
  return true;
}

bool ParseAttributeMask(std::string_view text, std::uint32_t* mask) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (hex) text.remove_prefix(2);
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
  }
  if (value > 0xFFFFFFFFu) return false;
  *mask = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace dav::host
