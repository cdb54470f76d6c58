// Reads a registry text file ("Windows Registry Editor Version 5.00") into key sections.
// The whole file is parsed before anything uses it, so a file with a mistake changes
// nothing; the error names the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/reg_file.h"

namespace dav::host {

struct RegParseError {
  int line = 0;  // 1-based
  std::string message;
};

// Parses file bytes: UTF-16LE with a BOM (as the registry editor writes), or UTF-8 with or
// without a BOM; CR LF or LF line ends. Understands "[KEY]", "[-KEY]", "name"="text",
// @=..., dword:, hex:, hex(N): with "\" continuation lines, "name"=- and ";" comments.
// Hive names are written out in their long form in RegKeySection::path.
bool ParseRegFile(std::string_view bytes, std::vector<RegKeySection>* sections,
                  RegParseError* error);

}  // namespace dav::host
