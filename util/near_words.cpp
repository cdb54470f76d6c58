#include "util/near_words.h"

#include <algorithm>
#include <utility>

namespace dav::util {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The most edits a word of that length may be away from a word meant by it.
std::size_t MostEdits(std::string_view written) {
  return std::max<std::size_t>(2, written.size() / 3);
}

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
  const std::string x = Lower(a);
  const std::string y = Lower(b);
  std::vector<std::size_t> previous(y.size() + 1);
  std::vector<std::size_t> current(y.size() + 1);
  for (std::size_t j = 0; j <= y.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= x.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= y.size(); ++j) {
      current[j] = std::min(
          {previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
    }
    std::swap(previous, current);
  }
  return previous[y.size()];
}

bool IsNearWord(std::string_view written, std::string_view known) {
  if (written.empty() || known.empty()) return false;
  const std::string x = Lower(written);
  const std::string y = Lower(known);
  return EditDistance(x, y) <= MostEdits(x) || y.find(x) != std::string::npos ||
         x.find(y) != std::string::npos;
}

std::vector<std::string> NearWords(std::string_view written, const std::vector<std::string>& known,
                                   std::size_t limit) {
  std::vector<std::pair<std::size_t, std::string>> near;
  for (const std::string& word : known) {
    if (IsNearWord(written, word)) near.emplace_back(EditDistance(written, word), word);
  }
  std::stable_sort(near.begin(), near.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> words;
  for (std::size_t i = 0; i < near.size() && i < limit; ++i) words.push_back(near[i].second);
  return words;
}

}  // namespace dav::util
