// Line and column of offsets, asked for in and out of document order.
#include "catalogue/source_positions.h"

#include <gtest/gtest.h>

namespace dav::catalogue {
namespace {

using Position = std::pair<std::size_t, std::size_t>;

TEST(SourcePositions, ColumnsCountCharactersAndLinesRestartThem) {
  // "가" is three bytes; "\r" is a character of its line like any other.
  const SourcePositions text("ab\r\n\xEA\xB0\x80x\nlast");
  EXPECT_EQ(text.At(0), Position(1, 1));
  EXPECT_EQ(text.At(3), Position(1, 4)) << "the CR";
  EXPECT_EQ(text.At(4), Position(2, 1)) << "just after the LF";
  EXPECT_EQ(text.At(7), Position(2, 2)) << "after one three-byte character";
  EXPECT_EQ(text.At(9), Position(3, 1));
  EXPECT_EQ(text.At(100), Position(3, 5)) << "past the end counts as the end";
}

TEST(SourcePositions, AnyOrderOfQuestionsGetsTheSameAnswers) {
  const SourcePositions text("<a><b/><c/></a>\n<d/><e/>");
  EXPECT_EQ(text.At(7), Position(1, 8));
  EXPECT_EQ(text.At(3), Position(1, 4)) << "back along the same line";
  EXPECT_EQ(text.At(11), Position(1, 12)) << "on again";
  EXPECT_EQ(text.At(20), Position(2, 5));
  EXPECT_EQ(text.At(16), Position(2, 1)) << "back to a line's start";
  EXPECT_EQ(text.At(1), Position(1, 2)) << "back to an earlier line";
}

}  // namespace
}  // namespace dav::catalogue
