#include "host/text_table.h"

#include <algorithm>

#include "host/utf16.h"

namespace dav::host {

std::string FormatTable(const std::vector<TableRow>& rows, std::size_t indent,
                        const std::vector<std::size_t>& rightAligned) {
  std::vector<std::size_t> widths;
  for (const TableRow& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t i = 0; i < row.size(); ++i) {
      widths[i] = std::max(widths[i], DisplayWidth(row[i]));
    }
  }
  std::string out;
  for (const TableRow& row : rows) {
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
