// The .reg import parser: any bytes give sections or an error naming a line, and a parsed
// file written out again parses to the same sections.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "host/reg_file_parser.h"
#include "host/reg_file_writer.h"

namespace {

// The registry reads "A\\B", "A\\\\B" and "A\\B\\" as one key.
std::string KeyOf(std::string_view path) {
  std::string key;
  for (const char c : path) {
    if (c != '\\' || (!key.empty() && key.back() != '\\')) key += c;
  }
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

bool SameSections(const std::vector<dav::host::RegKeySection>& a,
                  const std::vector<dav::host::RegKeySection>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (KeyOf(a[i].path) != KeyOf(b[i].path) || a[i].remove != b[i].remove ||
        a[i].values.size() != b[i].values.size()) {
      return false;
    }
    for (std::size_t j = 0; j < a[i].values.size(); ++j) {
      const auto& x = a[i].values[j];
      const auto& y = b[i].values[j];
      if (x.name != y.name || x.remove != y.remove || x.type != y.type || x.data != y.data) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<dav::host::RegKeySection> sections;
  dav::host::RegParseError error;
  if (!dav::host::ParseRegFile(bytes, &sections, &error)) {
    if (error.line < 0 || error.message.empty()) abort();
    return 0;
  }
  // A key path or value name with a line break cannot be written on one line; the form has
  // no escape for it (the registry editor's neither), so such files are not written back.
  for (const auto& section : sections) {
    if (section.path.find_first_of("\r\n") != std::string::npos) return 0;
    for (const auto& value : section.values) {
      if (value.name.find_first_of("\r\n") != std::string::npos) return 0;
    }
  }
  for (const auto line : {dav::host::LineEnd::kLf, dav::host::LineEnd::kCrLf}) {
    std::vector<dav::host::RegKeySection> again;
    if (!dav::host::ParseRegFile(dav::host::WriteRegFile(sections, line), &again, &error) ||
        !SameSections(sections, again)) {
      abort();
    }
  }
  return 0;
}
