#include "host/doc_json.h"

#include <cstdio>

namespace dav::host {

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
          json += escape;
        } else {
          json += c;
        }
    }
  }
  return json + "\"";
}

JsonObject& JsonObject::Field(std::string_view name, std::string_view json) {
  if (text_.size() > 1) text_ += ", ";
  text_ += JsonString(name) + ": " + std::string(json);
  return *this;
}

JsonObject& JsonObject::Text(std::string_view name, std::string_view text) {
  return Field(name, JsonString(text));
}

}  // namespace dav::host
