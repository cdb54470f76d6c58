// The davhost session line: any bytes give a line or a reason, and escaping what came out
// gives the same line back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/session_line.h"

namespace {

std::string Escape(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  dav::host::SessionLine parsed;
  std::string error;
  if (!dav::host::ParseSessionLine(line, &parsed, &error)) {
    if (error.empty()) abort();  // a refusal always says why
    return 0;
  }
  if (parsed.blank || !parsed.documentFile.empty()) return 0;
  // Without "@", the escaped command and protocol read back as they are.
  dav::host::SessionLine again;
  const std::string escapedProtocol = Escape(parsed.protocol);
  if (escapedProtocol.empty() || escapedProtocol.front() == '@') return 0;
  if (parsed.command.find('\t') != std::string::npos) return 0;
  if (!dav::host::ParseSessionLine(Escape(parsed.command) + "\t" + escapedProtocol, &again,
                                   &error) ||
      again.command != parsed.command || again.protocol != parsed.protocol) {
    abort();
  }
  return 0;
}
