#include "catalogue/source_positions.h"

#include <algorithm>

namespace dav::catalogue {
namespace {

bool StartsCharacter(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

}  // namespace

SourcePositions::SourcePositions(std::string_view text) : text_(text) {
  lineStarts_.push_back(0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') lineStarts_.push_back(i + 1);
  }
}

std::pair<std::size_t, std::size_t> SourcePositions::At(std::size_t offset) const {
  offset = std::min(offset, text_.size());
  // The last line whose start is at or before the offset.
  const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
  const std::size_t line = static_cast<std::size_t>(next - lineStarts_.begin()) - 1;
  std::size_t from = lineStarts_[line];
  std::size_t column = 1;
  if (line == lastLine_ && lastOffset_ >= from && lastOffset_ <= offset) {
    from = lastOffset_;
    column = lastColumn_;
  }
  for (std::size_t i = from; i < offset; ++i) column += StartsCharacter(text_[i]);
  lastOffset_ = offset;
  lastLine_ = line;
  lastColumn_ = column;
  return {line + 1, column};
}

}  // namespace dav::catalogue
