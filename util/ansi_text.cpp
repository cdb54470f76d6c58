#include "util/ansi_text.h"

#include "platform/code_page.h"

namespace dav::util {

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::string ToAnsi(platform::Platform& platform, std::string_view utf8) {
  std::string bytes;
  platform::EncodeCodePage(platform.system().AnsiCodePage(), utf8, &bytes);
  return bytes;
}

std::string FromAnsi(platform::Platform& platform, std::string_view bytes) {
  std::string utf8;
  if (!platform::DecodeCodePage(platform.system().AnsiCodePage(), bytes, &utf8)) {
    utf8.assign(bytes);
  }
  return utf8;
}

std::size_t AnsiLength(platform::Platform& platform, std::string_view utf8) {
  return ToAnsi(platform, utf8).size();
}

}  // namespace dav::util
