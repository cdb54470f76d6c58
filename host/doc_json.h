// The little JSON the doc commands print: an object written field by field, with the
// shared JsonString of host/json_text.h.
#pragma once

#include <string>
#include <string_view>

#include "host/json_text.h"

namespace dav::host {

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
