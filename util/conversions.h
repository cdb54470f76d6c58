// The conversions of text to numbers and Booleans that the documents and the registry rely
// on. They follow the original run-time's rules, because stored documents were written for
// them: blanks around a number are allowed, "&H" and "&O" give hexadecimal and octal,
// fractions round half to even, and a text that is no number is a type mismatch (13), a
// number out of range an overflow (6).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dav::util {

// A whole text as a 32-bit integer: "abc", "" and "12abc" raise 13; out of range raises 6.
std::int32_t ToLong(std::string_view text);

// A whole text as a 16-bit integer, with the same rules.
std::int16_t ToInteger(std::string_view text);

// A number rounded (half to even) to a 32-bit integer; out of range raises 6.
std::int32_t RoundToLong(double value);

// "True" and "False" in any letter case, or a number (non-zero is true); anything else
// raises 13.
bool ToBoolean(std::string_view text);

// "True" or "False", the text form of a Boolean.
std::string BooleanText(bool value);

// The number at the start of a text, ignoring blanks, tabs and line breaks anywhere in it
// and stopping at the first other character: "12abc" gives 12, " 1 2" gives 12, "abc" gives
// 0. "&H" and "&O" prefixes are read as hexadecimal and octal.
double LeadingNumber(std::string_view text);

}  // namespace dav::util
