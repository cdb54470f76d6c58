#include "host/value_text.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace dav::host {
namespace {

struct TypeSpelling {
  platform::ValueType type;
  std::string_view name;
  bool settable;  // accepted by reg set
};

constexpr std::array<TypeSpelling, 9> kTypes = {{
    {platform::kRegNone, "REG_NONE", false},
    {platform::kRegSz, "REG_SZ", true},
    {platform::kRegExpandSz, "REG_EXPAND_SZ", true},
    {platform::kRegBinary, "REG_BINARY", true},
    {platform::kRegDword, "REG_DWORD", true},
    {5, "REG_DWORD_BIG_ENDIAN", false},
    {6, "REG_LINK", false},
    {platform::kRegMultiSz, "REG_MULTI_SZ", true},
    {11, "REG_QWORD", false},
}};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseDword(std::string_view text, std::string* data, std::string* error) {
  std::uint64_t value = 0;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string_view digits = hex ? text.substr(2) : text;
  bool ok = !digits.empty();
  for (char c : digits) {
    const int d = hex ? HexDigit(c) : (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : -1);
    if (d < 0) {
      ok = false;
      break;
    }
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
    if (value > 0xFFFFFFFFu) {
      ok = false;
      break;
    }
  }
  if (!ok) {
    *error = "REG_DWORD data must be a number from 0 to 4294967295 (decimal or 0x hex), not '" +
             std::string(text) + "'";
    return false;
  }
  data->clear();
  for (int i = 0; i < 4; ++i) data->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return true;
}

bool ParseBinary(std::string_view text, std::string* data, std::string* error) {
  std::string bytes;
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == ',' || c == '\t') {
      if (high >= 0) break;  // a lone digit before a separator
      continue;
    }
    const int d = HexDigit(c);
    if (d < 0) {
      high = -2;
      break;
    }
    if (high < 0) {
      high = d;
    } else {
      bytes.push_back(static_cast<char>(high * 16 + d));
      high = -1;
    }
  }
  if (high != -1) {
    *error =
        "REG_BINARY data must be hex bytes such as '0a ff 10', not '" + std::string(text) + "'";
    return false;
  }
  *data = std::move(bytes);
  return true;
}

bool ParseMultiString(std::string_view text, std::string* data, std::string* error) {
  std::string out;
  while (!text.empty()) {
    const std::size_t separator = text.find("\\0");
    const std::string_view part = text.substr(0, separator);
    if (part.empty()) {
      *error = "REG_MULTI_SZ parts separated by \\0 must not be empty";
      return false;
    }
    out.append(part);
    out.push_back('\0');
    if (separator == std::string_view::npos) break;
    text.remove_prefix(separator + 2);
    if (text.empty()) {
      *error = "REG_MULTI_SZ parts separated by \\0 must not be empty";
      return false;
    }
  }
  out.push_back('\0');
  *data = std::move(out);
  return true;
}

std::string HexBytes(std::string_view data) {
  std::string out;
  char buffer[4];
  for (unsigned char b : data) {
    std::snprintf(buffer, sizeof buffer, "%02x", b);
    if (!out.empty()) out.push_back(' ');
    out += buffer;
  }
  return out;
}

}  // namespace

bool ParseValueTypeName(std::string_view name, platform::ValueType* type) {
  for (const auto& t : kTypes) {
    if (!t.settable || t.name.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) {
      same = std::toupper(static_cast<unsigned char>(name[i])) == t.name[i];
    }
    if (same) {
      *type = t.type;
      return true;
    }
  }
  return false;
}

std::string ValueTypeName(platform::ValueType type) {
  for (const auto& t : kTypes) {
    if (t.type == type) return std::string(t.name);
  }
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "REG_0x%x", static_cast<unsigned>(type));
  return buffer;
}

bool ParseValueArgument(platform::ValueType type, std::string_view text, std::string* data,
                        std::string* error) {
  switch (type) {
    case platform::kRegSz:
    case platform::kRegExpandSz:
      *data = std::string(text) + '\0';
      return true;
    case platform::kRegDword:
      return ParseDword(text, data, error);
    case platform::kRegBinary:
      return ParseBinary(text, data, error);
    case platform::kRegMultiSz:
      return ParseMultiString(text, data, error);
    default:
      *error = "values of type " + ValueTypeName(type) + " cannot be set";
      return false;
  }
}

std::string FormatValueData(platform::ValueType type, std::string_view data) {
  if (type == platform::kRegSz || type == platform::kRegExpandSz) {
    return std::string(data.substr(0, data.find('\0')));
  }
  if (type == platform::kRegMultiSz) {
    std::string out;
    while (!data.empty() && data.front() != '\0') {
      const std::size_t end = data.find('\0');
      if (!out.empty()) out += "\\0";
      out.append(data.substr(0, end));
      if (end == std::string_view::npos) break;
      data.remove_prefix(end + 1);
    }
    return out;
  }
  if (type == platform::kRegDword && data.size() == 4) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data[i]);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%08x (%u)", static_cast<unsigned>(value),
                  static_cast<unsigned>(value));
    return buffer;
  }
  return HexBytes(data);
}

}  // namespace dav::host
