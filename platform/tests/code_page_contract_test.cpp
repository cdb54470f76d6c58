// Conversion between UTF-8 and Windows code pages as MultiByteToWideChar and
// WideCharToMultiByte give it: Korean in 949 (the extended set, not plain EUC-KR), what a
// code page cannot hold, and bytes that are no character.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace dav::platform {
namespace {

std::string Encode(std::uint32_t codePage, std::string_view utf8, bool expectComplete = true) {
  std::string bytes;
  EXPECT_EQ(EncodeCodePage(codePage, utf8, &bytes), expectComplete)
      << "whether \"" << utf8 << "\" fits in code page " << codePage;
  return bytes;
}

std::string Decode(std::uint32_t codePage, std::string_view bytes) {
  std::string utf8;
  EXPECT_TRUE(DecodeCodePage(codePage, bytes, &utf8)) << "decoding from " << codePage;
  return utf8;
}

TEST(CodePageContractTest, KoreanRoundTripsThrough949) {
  EXPECT_EQ(Encode(949, "바탕 화면 A"), "\xB9\xD9\xC5\xC1 \xC8\xAD\xB8\xE9 A");
  EXPECT_EQ(Decode(949, "\xB9\xD9\xC5\xC1 \xC8\xAD\xB8\xE9 A"), "바탕 화면 A");
  EXPECT_EQ(Encode(949, "똠"), "\x8C\x63") << "949 holds the syllables EUC-KR lacks";
  EXPECT_EQ(Decode(949,
                   "\x8C\x63"
                   "c"),
            "똠c")
      << "a trail byte may look like an ASCII letter";
  if (IsCodePageSupported(51949)) {
    EXPECT_EQ(Encode(51949, "똠", false), "?") << "EUC-KR (51949) has no \"똠\"";
  }
}

TEST(CodePageContractTest, WhatACodePageCannotHoldBecomesAQuestionMark) {
  EXPECT_EQ(Encode(949, "aกb", false), "a?b") << "Thai is not in 949";
  EXPECT_EQ(Encode(1252, "x가y", false), "x?y") << "Korean is not in 1252";
  EXPECT_EQ(Encode(949, "a😀b", false), "a??b")
      << "WideCharToMultiByte gives one \"?\" per UTF-16 unit: two for a character outside the BMP";
  EXPECT_EQ(Encode(949,
                   "a\xFF"
                   "b",
                   false),
            "a?b")
      << "invalid UTF-8 cannot be held either";
  EXPECT_EQ(Encode(949,
                   "a\xE2\x82"
                   "b",
                   false),
            "a?b")
      << "a cut-off UTF-8 sequence is one character that cannot be held, not one per byte";
  EXPECT_EQ(Encode(1252, "café €"), "caf\xE9 \x80");
}

// Text that mixes long ASCII stretches (a document's markup) with characters of the code page,
// characters it lacks and broken sequences, each next to a stretch: converted as a whole.
TEST(CodePageContractTest, LongTextMixingAsciiAndOtherCharacters) {
  const std::string x16(16, 'x'), y15(15, 'y'), z20(20, 'z');
  EXPECT_EQ(Encode(949, "가" + x16 + "나" + y15 + "다\xE2\x82" + z20 + "😀" + x16 + "라", false),
            "\xB0\xA1" + x16 + "\xB3\xAA" + y15 + "\xB4\xD9?" + z20 + "??" + x16 + "\xB6\xF3");
  EXPECT_EQ(Encode(949, x16 + "바탕" + x16), x16 + "\xB9\xD9\xC5\xC1" + x16);
  EXPECT_EQ(Decode(949,
                   "\x8C"
                   "c" +
                       x16 + "\xB0\xA1" + y15 + "\xB9\xD9"),
            "똠" + x16 + "가" + y15 + "바")
      << "a trail byte that looks like ASCII, right before a long ASCII stretch";
  EXPECT_EQ(Decode(949, "\xB0<" + x16), "\uFFFD<" + x16) << "a lead byte without a trail byte";
  EXPECT_EQ(Decode(1252, "\xE9" + z20 + "\x81"), "é" + z20 + "\u0081");
  EXPECT_EQ(Encode(1252, "é" + z20 + "\u0081" + y15 + "€"), "\xE9" + z20 + "\x81" + y15 + "\x80");
}

// Conversions one after another, of both directions and of two code pages, each as if alone:
// one cut off in the middle of a character leaves nothing behind for the next.
TEST(CodePageContractTest, ConversionsInARowDoNotAffectEachOther) {
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(Decode(949, "\xB0"), "\xEF\xBF\xBD") << "a lead byte without its trail byte";
    EXPECT_EQ(Decode(949, "\xB0\xA1"), "가");
    EXPECT_EQ(Encode(949, "가"), "\xB0\xA1");
    EXPECT_EQ(Decode(1252, "\xE9"), "é");
    EXPECT_EQ(Encode(1252, "é"), "\xE9");
    EXPECT_EQ(Encode(949, "a\xE2\x82", false), "a?");
    EXPECT_EQ(Decode(949, "\xB0\xA1"), "가");
  }
}

TEST(CodePageContractTest, BytesThatFormNoCharacter) {
  const std::string undefined1252 = "\x81\x8D\x8F\x90\x9D";
  EXPECT_EQ(Decode(1252, undefined1252), "\u0081\u008D\u008F\u0090\u009D")
      << "MultiByteToWideChar passes the five bytes 1252 leaves undefined through as U+0081 ...";
  EXPECT_EQ(Encode(1252, "\u0081\u008D\u008F\u0090\u009D"), undefined1252)
      << "and WideCharToMultiByte takes them back";
  EXPECT_EQ(Decode(949, "a\x80z"), "a\u0080z") << "949 decodes a lone 0x80 to U+0080";
  EXPECT_EQ(Encode(949, "\u0080"), "\x80");
  EXPECT_EQ(Decode(949, "a\xB0"), "a\uFFFD") << "a double-byte character cut off at the end";

  EXPECT_EQ(Decode(kCodePageUtf8,
                   "a\xFF"
                   "b"),
            "a\uFFFD"
            "b")
      << "a stray byte: U+FFFD";
  EXPECT_EQ(Decode(kCodePageUtf8, "a\xE2\x82"), "a\uFFFD")
      << "a UTF-8 sequence cut off at the end is one U+FFFD, not one per byte";
  EXPECT_EQ(Decode(kCodePageUtf8,
                   "\xF0\x9F\x98"
                   "b"),
            "\uFFFD"
            "b")
      << "a cut-off four-byte sequence before an ASCII letter is one U+FFFD";
}

TEST(CodePageContractTest, KnownAndUnknownCodePages) {
  for (std::uint32_t codePage : {437u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u, 65001u}) {
    EXPECT_TRUE(IsCodePageSupported(codePage)) << codePage;
  }
  std::string out = "old text";
  EXPECT_FALSE(DecodeCodePage(12345, "abc", &out)) << "an unknown code page fails";
  EXPECT_EQ(out, "") << "a failed decode leaves nothing of the old text";
}

}  // namespace
}  // namespace dav::platform
