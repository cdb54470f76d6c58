#include "platform/win32/text.h"

#include "platform/code_page.h"
#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {

std::string ToAnsi(std::string_view utf8) {
  std::string ansi;
  EncodeCodePage(GetACP(), utf8, &ansi);
  return ansi;
}

std::string FromAnsi(std::string_view ansi) {
  std::string utf8;
  DecodeCodePage(GetACP(), ansi, &utf8);
  return utf8;
}

std::wstring ToWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int inLength = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, wide.data(), length);
  return wide;
}

std::string FromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int inLength = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace dav::platform::win32
