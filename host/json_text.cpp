#include "host/json_text.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "host/utf16.h"

namespace dav::host {
std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      switch (byte) {
        case '"':
          out += "\\\"";
          break;
        case '\\':
          out += "\\\\";
          break;
        case '\n':
          out += "\\n";
          break;
        case '\r':
          out += "\\r";
          break;
        case '\t':
          out += "\\t";
          break;
        default:
          if (byte < 0x20 || byte == 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", byte);
            out += buffer;
          } else {
            out += static_cast<char>(byte);
          }
      }
      ++i;
      continue;
    }
    const std::size_t length = Utf8CharacterAt(text.substr(i));
    if (length == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is no character
      ++i;
      continue;
    }
    out.append(text.substr(i, length));
    i += length;
  }
  return out + "\"";
}

Json& Json::Set(const std::string& name, Json value) {
  return (*this)[name] = std::move(value);
}

Json& Json::Push(Json value) {
  auto* array = std::get_if<Array>(&value_);
  if (array == nullptr) throw std::logic_error("Json::Push on a value that is no array");
  array->push_back(std::move(value));
  return array->back();
}

Json& Json::Back() {
  auto* array = std::get_if<Array>(&value_);
  if (array == nullptr || array->empty()) throw std::logic_error("Json::Back of no element");
  return array->back();
}

Json& Json::operator[](const std::string& name) {
  auto* object = std::get_if<Object>(&value_);
  if (object == nullptr) throw std::logic_error("Json member of a value that is no object");
  for (auto& [key, member] : *object) {
    if (key == name) return member;
  }
  object->emplace_back(name, Json());
  return object->back().second;
}

Json RowsAsJson(const std::vector<TableRow>& withHeading) {
  Json rows = Json::MakeArray();
  if (withHeading.empty()) return rows;
  std::vector<std::string> names;
  for (std::string name : withHeading.front()) {
    for (char& c : name)
      c = c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    names.push_back(name);
  }
  for (std::size_t r = 1; r < withHeading.size(); ++r) {
    Json row = Json::MakeObject();
    for (std::size_t c = 0; c < names.size(); ++c) {
      row.Set(names[c], c < withHeading[r].size() ? withHeading[r][c] : std::string());
    }
    rows.Push(std::move(row));
  }
  return rows;
}

std::string Json::Dump(bool top) const {
  std::string out;
  if (std::holds_alternative<std::nullptr_t>(value_)) {
    out = "null";
  } else if (const bool* b = std::get_if<bool>(&value_)) {
    out = *b ? "true" : "false";
  } else if (const std::int64_t* n = std::get_if<std::int64_t>(&value_)) {
    out = std::to_string(*n);
  } else if (const std::string* s = std::get_if<std::string>(&value_)) {
    out = JsonString(*s);
  } else if (const Array* a = std::get_if<Array>(&value_)) {
    out = "[";
    for (std::size_t i = 0; i < a->size(); ++i) out += (i ? "," : "") + (*a)[i].Dump(false);
    out += "]";
  } else {
    const Object& o = std::get<Object>(value_);
    out = "{";
    for (std::size_t i = 0; i < o.size(); ++i) {
      out += (i ? "," : "") + JsonString(o[i].first) + ":" + o[i].second.Dump(false);
    }
    out += "}";
  }
  return top ? out + "\n" : out;
}

}  // namespace dav::host
