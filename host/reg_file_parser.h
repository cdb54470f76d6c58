// Reads a registry text file ("Windows Registry Editor Version 5.00") into key sections.
// The whole file is parsed before anything uses it, so a file with a mistake changes
// nothing; the error names the line.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/reg_file.h"

namespace dav::host {

struct RegParseError {
  int line = 0;  // 1-based
  std::string message;
};

// ANSI bytes of the machine's code page to UTF-8; false when they are no text of it.
using AnsiDecoder = std::function<bool(std::string_view, std::string*)>;

// Parses file bytes: UTF-16LE with a BOM (as the registry editor writes), or UTF-8 with or
// without a BOM; CR LF or LF line ends. Understands "[KEY]", "[-KEY]", "name"="text",
// @=..., dword:, hex:, hex(N): with "\" continuation lines, "name"=- and ";" comments.
// Hive names are written out in their long form in RegKeySection::path.
// A file headed "REGEDIT4" (the older form) is ANSI text, decoded by decodeAnsi, and its
// hex(N) text data are ANSI bytes too; without decodeAnsi such a file is refused.
bool ParseRegFile(std::string_view bytes, std::vector<RegKeySection>* sections,
                  RegParseError* error, const AnsiDecoder& decodeAnsi = nullptr);

}  // namespace dav::host
