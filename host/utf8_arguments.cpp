#include "host/utf8_arguments.h"

#include "host/utf16.h"

#ifdef _WIN32
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#endif

namespace dav::host {

#ifdef _WIN32
namespace {

std::string ToUtf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.pop_back();  // the terminating NUL
  return out;
}

}  // namespace
#endif

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) arguments_.push_back(ToUtf8(wide[i]));
    LocalFree(wide);
  } else {
    arguments_.assign(argv, argv + argc);
  }
  SetConsoleOutputCP(CP_UTF8);
#else
  arguments_.assign(argv, argv + argc);
#endif
  for (std::string& argument : arguments_) pointers_.push_back(argument.data());
  pointers_.push_back(nullptr);
}

int Utf8Arguments::FirstInvalid() const {
  for (std::size_t i = 1; i < arguments_.size(); ++i) {
    if (!IsValidUtf8(arguments_[i])) return static_cast<int>(i);
  }
  return 0;
}

}  // namespace dav::host
