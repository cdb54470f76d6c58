#include "host/doc_json.h"

namespace dav::host {

JsonObject& JsonObject::Field(std::string_view name, std::string_view json) {
  if (text_.size() > 1) text_ += ", ";
  text_ += JsonString(name) + ": " + std::string(json);
  return *this;
}

JsonObject& JsonObject::Text(std::string_view name, std::string_view text) {
  return Field(name, JsonString(text));
}

}  // namespace dav::host
