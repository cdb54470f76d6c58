// Line and column of byte offsets in a document's text, for findings that point into it.
// The line starts are found once, so a document of many rows costs one pass, however many
// positions are asked for.
#pragma once

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace dav::catalogue {

class SourcePositions {
 public:
  explicit SourcePositions(std::string_view text);

  // The line (from 1) and column (from 1, in UTF-8 characters) of a byte offset; an offset
  // past the end counts as the end.
  std::pair<std::size_t, std::size_t> At(std::size_t offset) const;

 private:
  std::string_view text_;
  std::vector<std::size_t> lineStarts_;  // byte offset of each line's first byte
  // The last position asked for: the next one further along its line counts on from it,
  // so a document on one long line is not counted from the line's start each time.
  mutable std::size_t lastOffset_ = 0;
  mutable std::size_t lastLine_ = 0;  // index into lineStarts_
  mutable std::size_t lastColumn_ = 1;
};

}  // namespace dav::catalogue
