#include "host/value_encoding.h"

#include "platform/code_page.h"

namespace dav::host {

std::string DecodeValueData(std::uint32_t codePage, platform::ValueType type,
                            std::string_view stored) {
  if (!platform::IsStringType(type)) return std::string(stored);
  std::string text;
  if (!platform::DecodeCodePage(codePage, stored, &text)) return std::string(stored);
  return text;
}

bool EncodeValueData(std::uint32_t codePage, platform::ValueType type, std::string_view utf8,
                     std::string* stored) {
  if (!platform::IsStringType(type)) {
    *stored = std::string(utf8);
    return true;
  }
  return platform::EncodeCodePage(codePage, utf8, stored);
}

}  // namespace dav::host
