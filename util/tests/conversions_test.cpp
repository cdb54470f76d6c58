#include "util/conversions.h"

#include <gtest/gtest.h>

#include "util/run_time_error.h"

namespace dav::util {
namespace {

int ErrorOf(auto&& call) {
  try {
    call();
  } catch (const RunTimeError& e) {
    return e.number();
  }
  return 0;
}

TEST(Conversions, ToLongAcceptsWhatTheRunTimeAccepts) {
  EXPECT_EQ(ToLong("12"), 12);
  EXPECT_EQ(ToLong("  -7 "), -7) << "blanks around a number are allowed";
  EXPECT_EQ(ToLong("&HFF"), 255);
  EXPECT_EQ(ToLong("&HFFFFFFFF"), -1) << "hex is a 32-bit pattern";
  EXPECT_EQ(ToLong("&HFFFF"), -1) << "up to four digits, hex is a 16-bit pattern";
  EXPECT_EQ(ToLong("&H8000"), -32768);
  EXPECT_EQ(ToLong("&H10000"), 65536) << "five digits and more: 32 bits";
  EXPECT_EQ(ToLong("&O17"), 15);
  EXPECT_EQ(ToLong("1.5"), 2) << "ties round to even";
  EXPECT_EQ(ToLong("2.5"), 2) << "ties round to even";
  EXPECT_EQ(ToLong("1,024"), 1024) << "thousands separators";
  EXPECT_EQ(ToLong("2147483647"), 2147483647);
  EXPECT_EQ(ToLong("-2147483648"), INT32_MIN);
}

TEST(Conversions, ToLongRejectsTextAndOverflow) {
  for (const char* text : {"abc", "", "   ", "12abc", "1 2", "0x10", "&H", "+", "."}) {
    EXPECT_EQ(ErrorOf([&] { ToLong(text); }), kErrTypeMismatch) << "'" << text << "'";
  }
  EXPECT_EQ(ErrorOf([] { ToLong("2147483648"); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { ToLong("-2147483649"); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { ToInteger("32768"); }), kErrOverflow);
  EXPECT_EQ(ToInteger("-32768"), -32768);
}

TEST(Conversions, BooleanTextsAndNumbers) {
  EXPECT_TRUE(ToBoolean("True"));
  EXPECT_TRUE(ToBoolean("TRUE"));
  EXPECT_FALSE(ToBoolean("false"));
  EXPECT_TRUE(ToBoolean("1"));
  EXPECT_TRUE(ToBoolean("-1"));
  EXPECT_TRUE(ToBoolean("0.5"));
  EXPECT_FALSE(ToBoolean("0"));
  EXPECT_EQ(ErrorOf([] { ToBoolean("yes"); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { ToBoolean(""); }), kErrTypeMismatch);
  EXPECT_EQ(BooleanText(true), "True");
}

TEST(Conversions, LeadingNumberReadsTheStartOnly) {
  EXPECT_EQ(LeadingNumber("12abc"), 12);
  EXPECT_EQ(LeadingNumber(" 1 2"), 12) << "blanks inside are skipped";
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-2147483646"), -2147483646.0);
  EXPECT_EQ(LeadingNumber("&H10zz"), 16);
  EXPECT_EQ(LeadingNumber("1.5e2x"), 150);
  EXPECT_EQ(LeadingNumber("3e"), 3) << "an exponent without digits is not part of the number";
  // The registry hive of a stored start program: its leading number as a 32-bit handle.
  EXPECT_EQ(static_cast<std::uint32_t>(RoundToLong(LeadingNumber("-2147483646"))), 0x80000002u);
}

}  // namespace
}  // namespace dav::util
