// The little JSON the doc commands print: a quoted string, and an object written field by
// field. Kept to these commands until davhost has one shared JSON helper.
#pragma once

#include <string>
#include <string_view>

namespace dav::host {

// The text as a JSON string literal, quotes included; control characters escaped.
std::string JsonString(std::string_view text);

// {"a": 1, "b": "x"} built in order: Field("a", "1") takes a JSON value as written,
// Text("b", "x") quotes it.
class JsonObject {
 public:
  JsonObject& Field(std::string_view name, std::string_view json);
  JsonObject& Text(std::string_view name, std::string_view text);
  std::string str() const { return text_ + "}"; }

 private:
  std::string text_ = "{";
};

}  // namespace dav::host
