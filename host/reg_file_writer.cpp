#include "host/reg_file_writer.h"

#include <cstdint>
#include <cstdio>

#include "host/utf16.h"

namespace dav::host {
namespace {

// A hex line is broken once it reaches this many columns; the break itself (",\") makes
// the longest line 79 characters, as in the registry editor's files.
constexpr std::size_t kHexLineLimit = 77;

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

std::string HexByte(unsigned char b) {
  char buffer[3];
  std::snprintf(buffer, sizeof buffer, "%02x", b);
  return buffer;
}

// "hex:" for REG_BINARY, "hex(N):" for every other type (N in lowercase hex).
std::string HexPrefix(platform::ValueType type) {
  if (type == platform::kRegBinary) return "hex:";
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(type));
  return buffer;
}

// The REG_SZ text that can be written as "text": one trailing NUL, which "text" reads back
// with, and no NUL or line break inside (those would not survive the line-based form; such
// data, and data without its NUL, is written as hex(1) instead, which keeps every byte).
bool PlainStringText(std::string_view data, std::string_view* text) {
  if (data.empty() || data.back() != '\0') return false;
  data.remove_suffix(1);
  if (data.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) return false;
  *text = data;
  return true;
}

std::string HexData(std::string_view bytes, std::size_t column, const std::string& lineEnd) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out += HexByte(static_cast<unsigned char>(bytes[i]));
    if (i + 1 == bytes.size()) break;
    out += ',';
    column += 3;
    if (column >= kHexLineLimit) {
      out += "\\" + lineEnd + "  ";
      column = 2;
    }
  }
  return out;
}

}  // namespace

std::string FormatRegValue(const RegValue& value, LineEnd lineEnd) {
  const std::string eol = lineEnd == LineEnd::kCrLf ? "\r\n" : "\n";
  std::string line = value.name.empty() ? "@=" : "\"" + Escape(value.name) + "\"=";
  if (value.remove) return line + "-";

  std::string_view text;
  if (value.type == platform::kRegSz && PlainStringText(value.data, &text)) {
    return line + "\"" + Escape(text) + "\"";
  }
  if (value.type == platform::kRegDword && value.data.size() == 4) {
    std::uint32_t dword = 0;
    for (int i = 3; i >= 0; --i) dword = (dword << 8) | static_cast<unsigned char>(value.data[i]);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08x", static_cast<unsigned>(dword));
    return line + "dword:" + buffer;
  }
  const std::string bytes =
      platform::IsStringType(value.type) ? Utf8ToUtf16Le(value.data) : value.data;
  line += HexPrefix(value.type);
  const std::size_t column = Utf16Length(line);
  return line + HexData(bytes, column, eol);
}

std::string WriteRegFile(const std::vector<RegKeySection>& sections, LineEnd lineEnd) {
  const std::string eol = lineEnd == LineEnd::kCrLf ? "\r\n" : "\n";
  std::string out = std::string(kRegFileHeader) + eol + eol;
  for (const RegKeySection& section : sections) {
    out += (section.remove ? "[-" : "[") + section.path + "]" + eol;
    for (const RegValue& value : section.values) out += FormatRegValue(value, lineEnd) + eol;
    out += eol;
  }
  return out;
}

std::string ToRegFileBytes(const std::string& utf8Text) {
  return std::string("\xFF\xFE", 2) + Utf8ToUtf16Le(utf8Text);
}

}  // namespace dav::host
