// Closeness of words for "did you mean" hints: a misspelt section, row or control name is
// answered with the known names it was most likely meant to be.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dav::util {

// The number of single-character insertions, deletions and substitutions that turn one word
// into the other, ASCII letter case ignored.
std::size_t EditDistance(std::string_view a, std::string_view b);

// Whether a known word is close enough to the written one to have been meant: within a few
// edits (more for longer words), or holding it or held by it (letter case ignored).
bool IsNearWord(std::string_view written, std::string_view known);

// The known words near the written one, nearest first (ties in the order given), at most
// limit of them.
std::vector<std::string> NearWords(std::string_view written, const std::vector<std::string>& known,
                                   std::size_t limit);

}  // namespace dav::util
