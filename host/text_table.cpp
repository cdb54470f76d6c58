#include "host/text_table.h"

#include <algorithm>
#include <cstdio>

#include "host/utf16.h"

namespace dav::host {
namespace {

void AppendHexByte(unsigned char byte, std::string* out) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", byte);
  *out += buffer;
}

}  // namespace

std::string VisibleText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x20 || byte == 0x7F) {
      switch (byte) {
        case '\r':
          out += "\\r";
          break;
        case '\n':
          out += "\\n";
          break;
        case '\t':
          out += "\\t";
          break;
        default:
          AppendHexByte(byte, &out);
      }
      ++i;
      continue;
    }
    const std::size_t length = Utf8CharacterAt(bytes.substr(i));
    if (length == 0) {
      AppendHexByte(byte, &out);  // the next byte may start a valid character
      ++i;
      continue;
    }
    out.append(bytes.substr(i, length));
    i += length;
  }
  return out;
}

namespace {

// How many bytes of the characters at the start of utf8 fit in width columns.
std::size_t FittingBytes(std::string_view utf8, std::size_t width) {
  std::size_t end = 0;
  std::size_t used = 0;
  while (end < utf8.size()) {
    const std::size_t length = std::max<std::size_t>(Utf8CharacterAt(utf8.substr(end)), 1);
    const std::size_t columns = DisplayWidth(utf8.substr(end, length));
    if (used + columns > width) break;
    used += columns;
    end += length;
  }
  return end;
}

}  // namespace

std::string CutToWidth(std::string_view utf8, std::size_t width, bool middle) {
  if (DisplayWidth(utf8) <= width) return std::string(utf8);
  if (width == 0) return {};
  const std::size_t room = width - 1;  // beside the "…"
  const std::size_t headColumns = middle ? room / 3 : room;
  const std::size_t head = FittingBytes(utf8, headColumns);
  std::string text(utf8.substr(0, head));
  text += "\u2026";
  if (!middle) return text;
  // The tail: the last characters that fit in what the head left.
  const std::size_t tailColumns = room - DisplayWidth(utf8.substr(0, head));
  std::size_t start = utf8.size();
  std::size_t used = 0;
  while (start > head) {
    std::size_t begin = start - 1;
    while (begin > head && (static_cast<unsigned char>(utf8[begin]) & 0xC0) == 0x80) --begin;
    const std::size_t columns = DisplayWidth(utf8.substr(begin, start - begin));
    if (used + columns > tailColumns) break;
    used += columns;
    start = begin;
  }
  return text + std::string(utf8.substr(start));
}

std::string FormatTable(const std::vector<TableRow>& rows, std::size_t indent,
                        const std::vector<std::size_t>& rightAligned) {
  std::vector<TableRow> cells;
  cells.reserve(rows.size());
  for (const TableRow& row : rows) {
    TableRow& visible = cells.emplace_back();
    for (const std::string& cell : row) visible.push_back(VisibleText(cell));
  }
  std::vector<std::size_t> widths;
  for (const TableRow& row : cells) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t i = 0; i < row.size(); ++i) {
      widths[i] = std::max(widths[i], DisplayWidth(row[i]));
    }
  }
  std::string out;
  for (const TableRow& row : cells) {
    std::string line(indent, ' ');
    for (std::size_t i = 0; i < row.size(); ++i) {
      const bool last = i + 1 == row.size();
      const std::string padding(widths[i] - DisplayWidth(row[i]), ' ');
      const bool right =
          std::find(rightAligned.begin(), rightAligned.end(), i) != rightAligned.end();
      if (right) line += padding;
      line += row[i];
      if (!right && !last) line += padding;
      if (!last) line += "  ";
    }
    out += line + "\n";
  }
  return out;
}

}  // namespace dav::host
