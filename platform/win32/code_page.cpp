// Code page conversion through MultiByteToWideChar and WideCharToMultiByte.
#include "platform/code_page.h"
#include "platform/utf8_sequence.h"

#include <cstddef>

#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

namespace dav::platform {
namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

// MB_ERR_INVALID_CHARS and the best-fit flags are refused by a few code pages (UTF-7, the
// ISO-2022 family ...); those convert without them.
bool RefusesFlags() {
  const DWORD error = GetLastError();
  return error == ERROR_INVALID_FLAGS || error == ERROR_INVALID_PARAMETER;
}

// Strict conversion of bytes that must all form characters.
bool DecodeStrict(UINT codePage, std::string_view bytes, std::wstring* wide) {
  if (bytes.empty()) return true;
  const int inLength = static_cast<int>(bytes.size());
  DWORD flags = MB_ERR_INVALID_CHARS;
  int length = MultiByteToWideChar(codePage, flags, bytes.data(), inLength, nullptr, 0);
  if (length == 0 && RefusesFlags()) {
    flags = 0;
    length = MultiByteToWideChar(codePage, flags, bytes.data(), inLength, nullptr, 0);
  }
  if (length == 0) return false;
  const std::size_t start = wide->size();
  wide->resize(start + static_cast<std::size_t>(length));
  return MultiByteToWideChar(codePage, flags, bytes.data(), inLength, wide->data() + start,
                             length) == length;
}

// Bytes that may hold broken characters. UTF-8 is Windows' own business: without
// MB_ERR_INVALID_CHARS, MultiByteToWideChar puts U+FFFD for each broken sequence. Other code
// pages go character by character: what does not convert becomes U+FFFD, and decoding goes
// on at the next byte (a double-byte pair whose second byte does not fit gives that byte
// its own chance; it may be ASCII).
void DecodeLenient(UINT codePage, std::string_view bytes, std::wstring* wide) {
  if (codePage == kCodePageUtf8) {
    const int inLength = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), inLength, nullptr, 0);
    wide->resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), inLength, wide->data(), length);
    return;
  }
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t length = 1;
    if (at + 1 < bytes.size() && IsDBCSLeadByteEx(codePage, static_cast<BYTE>(bytes[at]))) {
      length = 2;
    }
    if (DecodeStrict(codePage, bytes.substr(at, length), wide)) {
      at += length;
    } else {
      wide->push_back(kReplacementCharacter);
      at += 1;
    }
  }
}

// Encodes valid UTF-16 into the code page; false when a character had no place in it. UTF-8
// holds every character, and WideCharToMultiByte refuses the used-default flag for it.
bool EncodeWide(UINT codePage, std::wstring_view wide, std::string* bytes) {
  if (wide.empty()) return true;
  const int inLength = static_cast<int>(wide.size());
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = &usedDefault;
  const char* defaultChar = "?";
  if (codePage == kCodePageUtf8) {
    flags = 0;
    usedDefaultOut = nullptr;
    defaultChar = nullptr;
  }
  int length = WideCharToMultiByte(codePage, flags, wide.data(), inLength, nullptr, 0, defaultChar,
                                   usedDefaultOut);
  if (length == 0 && RefusesFlags()) {
    flags = 0;
    usedDefaultOut = nullptr;
    defaultChar = nullptr;
    length =
        WideCharToMultiByte(codePage, flags, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
  }
  if (length == 0) {
    bytes->append(wide.size(), '?');
    return false;
  }
  const std::size_t start = bytes->size();
  bytes->resize(start + static_cast<std::size_t>(length));
  WideCharToMultiByte(codePage, flags, wide.data(), inLength, bytes->data() + start, length,
                      defaultChar, usedDefaultOut);
  return !usedDefault;
}

}  // namespace

bool IsCodePageSupported(std::uint32_t codePage) {
  return IsValidCodePage(codePage) != FALSE;
}

bool DecodeCodePage(std::uint32_t codePage, std::string_view bytes, std::string* utf8) {
  utf8->clear();
  if (!IsCodePageSupported(codePage)) return false;
  std::wstring wide;
  if (!DecodeStrict(codePage, bytes, &wide)) {
    wide.clear();
    DecodeLenient(codePage, bytes, &wide);
  }
  *utf8 = win32::FromWide(wide);
  return true;
}

bool EncodeCodePage(std::uint32_t codePage, std::string_view utf8, std::string* bytes) {
  bytes->clear();
  const bool known = IsCodePageSupported(codePage);
  bool whole = known;
  // Valid runs go through the API; each ill-formed sequence is one "?".
  std::size_t runStart = 0;
  std::size_t at = 0;
  auto flushRun = [&](std::size_t end) {
    if (end == runStart) return;
    std::wstring wide;
    DecodeStrict(CP_UTF8, utf8.substr(runStart, end - runStart), &wide);
    if (known) {
      whole = EncodeWide(codePage, wide, bytes) && whole;
    } else {
      bytes->append(utf8.substr(runStart, end - runStart));
    }
  };
  while (at < utf8.size()) {
    const Utf8Sequence sequence = ReadUtf8Sequence(utf8.substr(at));
    if (!sequence.valid) {
      flushRun(at);
      bytes->push_back('?');
      whole = false;
      runStart = at + sequence.length;
    }
    at += sequence.length;
  }
  flushRun(at);
  return whole;
}

}  // namespace dav::platform
