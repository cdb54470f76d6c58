// Writes key sections in the registry editor's export form: the header line, a blank line,
// then per key "[path]", its values, a blank line. Hex data wrap at about 80 columns with
// ",\" and a two-space indent, as the registry editor does.
#pragma once

#include <string>
#include <vector>

#include "host/reg_file.h"

namespace dav::host {

enum class LineEnd { kLf, kCrLf };

// The export text in UTF-8. Files on Windows are UTF-16LE with a BOM and CR LF: pass kCrLf
// and convert with ToRegFileBytes.
std::string WriteRegFile(const std::vector<RegKeySection>& sections, LineEnd lineEnd);

// The bytes the registry editor writes to a file: a UTF-16LE BOM and the text in UTF-16LE.
std::string ToRegFileBytes(const std::string& utf8Text);

// One value's line(s), without the final line end: "\"name\"=dword:0000000a".
std::string FormatRegValue(const RegValue& value, LineEnd lineEnd);

}  // namespace dav::host
