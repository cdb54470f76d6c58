// Converts text between UTF-8, CP949 and UTF-16LE with the system's own converter (glibc
// iconv, or Windows' code page functions), independently of the platform layer, so that a
// test can check what the document layer wrote.
#pragma once

#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace dav::xml::testing {

enum class Encoding { kUtf8, kCp949, kUtf16Le };

#ifdef _WIN32
inline bool ToWide(Encoding from, std::string_view in, std::wstring* wide) {
  if (from == Encoding::kUtf16Le) {
    if (in.size() % 2 != 0) return false;
    wide->assign(reinterpret_cast<const wchar_t*>(in.data()), in.size() / 2);
    return true;
  }
  const UINT cp = from == Encoding::kUtf8 ? CP_UTF8 : 949;
  const int n =
      MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, in.data(), int(in.size()), nullptr, 0);
  if (n == 0 && !in.empty()) return false;
  wide->assign(n, L'\0');
  MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, in.data(), int(in.size()), wide->data(), n);
  return true;
}

inline bool Convert(Encoding to, Encoding from, std::string_view in, std::string* out) {
  std::wstring wide;
  if (!ToWide(from, in, &wide)) return false;
  if (to == Encoding::kUtf16Le) {
    out->assign(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    return true;
  }
  const UINT cp = to == Encoding::kUtf8 ? CP_UTF8 : 949;
  BOOL usedDefault = FALSE;
  BOOL* used = cp == CP_UTF8 ? nullptr : &usedDefault;
  const int n =
      WideCharToMultiByte(cp, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, used);
  out->assign(n, '\0');
  WideCharToMultiByte(cp, 0, wide.data(), int(wide.size()), out->data(), n, nullptr, used);
  return !usedDefault;
}
#else
inline const char* IconvName(Encoding e) {
  return e == Encoding::kUtf8 ? "UTF-8" : e == Encoding::kCp949 ? "CP949" : "UTF-16LE";
}

// False when the input holds a sequence that is not valid in `from` or cannot be held in `to`.
inline bool Convert(Encoding to, Encoding from, std::string_view in, std::string* out) {
  iconv_t cd = iconv_open(IconvName(to), IconvName(from));
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->assign(in.size() * 4 + 16, '\0');
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char* outPtr = out->data();
  std::size_t outLeft = out->size();
  const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out->resize(out->size() - outLeft);
  return ok && inLeft == 0;
}
#endif

}  // namespace dav::xml::testing
