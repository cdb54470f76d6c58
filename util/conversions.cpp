#include "util/conversions.h"

#include <cmath>
#include <cstdlib>
#include <optional>

#include "util/run_time_error.h"

namespace dav::util {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// "&H..." or "&O..." after an optional sign: read as a 32-bit pattern, so "&HFFFFFFFF" is -1
// as the run-time reads it. Returns nullopt when the text is not of that form.
std::optional<double> ParseRadix(std::string_view digits, int radix) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int d = DigitValue(c);
    if (d >= radix) return std::nullopt;
    value = value * radix + d;
    if (value > 0xFFFFFFFFu) throw RunTimeError(kErrOverflow);
  }
  if (radix == 16 && digits.size() <= 4 && value > 0x7FFF) {
    return double(std::int16_t(std::uint16_t(value)));  // "&HFFFF" is the 16-bit -1
  }
  return double(std::int32_t(std::uint32_t(value)));
}

// A whole (trimmed) text as a number; nullopt when it is not one.
std::optional<double> ParseNumber(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  bool negative = false;
  std::string_view body = text;
  if (body.front() == '+' || body.front() == '-') {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  if (body.size() >= 2 && body[0] == '&') {
    const char kind = char(body[1] | 0x20);
    std::optional<double> v;
    if (kind == 'h')
      v = ParseRadix(body.substr(2), 16);
    else if (kind == 'o')
      v = ParseRadix(body.substr(2), 8);
    if (!v) return std::nullopt;
    return negative ? -*v : *v;
  }
  // Digits with thousands separators, an optional fraction and an optional exponent.
  std::string clean = negative ? "-" : "";
  std::size_t i = 0;
  bool digits = false;
  while (i < body.size() && (IsDigit(body[i]) || (body[i] == ',' && digits))) {
    if (body[i] != ',') clean += body[i];
    digits = true;
    ++i;
  }
  if (i < body.size() && body[i] == '.') {
    clean += '.';
    ++i;
    while (i < body.size() && IsDigit(body[i])) {
      clean += body[i++];
      digits = true;
    }
  }
  if (!digits) return std::nullopt;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    clean += 'e';
    ++i;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) clean += body[i++];
    if (i >= body.size() || !IsDigit(body[i])) return std::nullopt;
    while (i < body.size() && IsDigit(body[i])) clean += body[i++];
  }
  if (i != body.size()) return std::nullopt;
  return std::strtod(clean.c_str(), nullptr);
}

double RoundHalfEven(double value) {
  // The default floating-point rounding mode rounds ties to even.
  return std::nearbyint(value);
}

}  // namespace

std::int32_t RoundToLong(double value) {
  const double r = RoundHalfEven(value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw RunTimeError(kErrOverflow);
  return static_cast<std::int32_t>(r);
}

std::int32_t ToLong(std::string_view text) {
  const std::optional<double> number = ParseNumber(text);
  if (!number) throw RunTimeError(kErrTypeMismatch);
  return RoundToLong(*number);
}

std::int16_t ToInteger(std::string_view text) {
  const std::optional<double> number = ParseNumber(text);
  if (!number) throw RunTimeError(kErrTypeMismatch);
  const double r = RoundHalfEven(*number);
  if (!(r >= -32768.0 && r <= 32767.0)) throw RunTimeError(kErrOverflow);
  return static_cast<std::int16_t>(r);
}

bool ToBoolean(std::string_view text) {
  const std::string_view t = Trim(text);
  auto equalsNoCase = [&](std::string_view word) {
    if (t.size() != word.size()) return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if ((t[i] | 0x20) != word[i]) return false;
    }
    return true;
  };
  if (equalsNoCase("true")) return true;
  if (equalsNoCase("false")) return false;
  const std::optional<double> number = ParseNumber(t);
  if (!number) throw RunTimeError(kErrTypeMismatch);
  return *number != 0.0;
}

std::string BooleanText(bool value) {
  return value ? "True" : "False";
}

double LeadingNumber(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') kept += c;
  }
  if (kept.size() >= 2 && kept[0] == '&') {
    const char kind = char(kept[1] | 0x20);
    const int radix = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
    if (radix == 0) return 0;
    std::size_t end = 2;
    while (end < kept.size() && DigitValue(kept[end]) < radix) ++end;
    try {
      return ParseRadix(std::string_view(kept).substr(2, end - 2), radix).value_or(0);
    } catch (const RunTimeError&) {
      return 0;
    }
  }
  // The longest prefix that reads as a decimal number.
  std::size_t i = 0;
  if (i < kept.size() && (kept[i] == '+' || kept[i] == '-')) ++i;
  while (i < kept.size() && IsDigit(kept[i])) ++i;
  if (i < kept.size() && kept[i] == '.') {
    ++i;
    while (i < kept.size() && IsDigit(kept[i])) ++i;
  }
  if (i < kept.size() && (kept[i] == 'e' || kept[i] == 'E' || kept[i] == 'd' || kept[i] == 'D')) {
    std::size_t j = i + 1;
    if (j < kept.size() && (kept[j] == '+' || kept[j] == '-')) ++j;
    if (j < kept.size() && IsDigit(kept[j])) {
      kept[i] = 'e';
      i = j;
      while (i < kept.size() && IsDigit(kept[i])) ++i;
    }
  }
  const std::string prefix = kept.substr(0, i);
  return std::strtod(prefix.c_str(), nullptr);
}

}  // namespace dav::util
