// JSON output of davhost's --json: one document per invocation, UTF-8. Values are built as a
// small tree and written at the end, so that a command that fails half-way prints no JSON at
// all (the error line on stderr says why).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "host/text_table.h"

namespace dav::host {

// A JSON string literal with its quotes. Control characters, '"' and '\' are escaped; a byte
// that is not part of valid UTF-8 becomes U+FFFD, so the document stays valid UTF-8.
std::string JsonString(std::string_view text);

class Json {
 public:
  using Array = std::vector<Json>;
  // Members keep the order they were added in, so a document reads as the table would.
  using Object = std::vector<std::pair<std::string, Json>>;

  Json() : value_(nullptr) {}
  Json(std::nullptr_t) : value_(nullptr) {}
  Json(bool b) : value_(b) {}
  Json(int n) : value_(static_cast<std::int64_t>(n)) {}
  Json(long n) : value_(static_cast<std::int64_t>(n)) {}
  Json(long long n) : value_(static_cast<std::int64_t>(n)) {}
  Json(unsigned n) : value_(static_cast<std::int64_t>(n)) {}
  Json(unsigned long n) : value_(static_cast<std::int64_t>(n)) {}
  Json(unsigned long long n) : value_(static_cast<std::int64_t>(n)) {}
  Json(const char* s) : value_(std::string(s)) {}
  Json(std::string s) : value_(std::move(s)) {}
  Json(std::string_view s) : value_(std::string(s)) {}
  Json(Array a) : value_(std::move(a)) {}
  Json(Object o) : value_(std::move(o)) {}

  static Json MakeArray() { return Json(Array{}); }
  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(value_); }
  static Json MakeObject() { return Json(Object{}); }

  // Adds a member to an object (replacing one of the same name) or an element to an array.
  Json& Set(const std::string& name, Json value);
  Json& Push(Json value);
  // The last element of an array.
  Json& Back();
  // The member of an object, added as null when missing.
  Json& operator[](const std::string& name);

  // Compact text with "\n" at the end when top is true.
  std::string Dump(bool top = true) const;

 private:
  std::variant<std::nullptr_t, bool, std::int64_t, std::string, Array, Object> value_;
};

// The rows of a table whose first row is its heading, as an array of objects: one member a
// column, named by its heading in lower case with "_" for blanks ("Next start": "next_start").
Json RowsAsJson(const std::vector<TableRow>& withHeading);

}  // namespace dav::host
