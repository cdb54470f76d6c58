// Code page conversion on the simulated PC: Windows code page numbers mapped onto glibc iconv
// converters. Each call opens its own converter, so nothing is shared between calls.
#include <errno.h>
#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace dav::platform {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD

const char* IconvName(std::uint32_t codePage) {
  switch (codePage) {
    case 437:
      return "CP437";
    case 850:
      return "CP850";
    case 852:
      return "CP852";
    case 866:
      return "CP866";
    case 874:
      return "CP874";
    case 932:
      return "CP932";
    case 936:
      return "CP936";
    case 949:
      return "CP949";
    case 950:
      return "CP950";
    case 1250:
      return "CP1250";
    case 1251:
      return "CP1251";
    case 1252:
      return "CP1252";
    case 1253:
      return "CP1253";
    case 1254:
      return "CP1254";
    case 1255:
      return "CP1255";
    case 1256:
      return "CP1256";
    case 1257:
      return "CP1257";
    case 1258:
      return "CP1258";
    case 20127:
      return "ASCII";
    case 20866:
      return "KOI8-R";
    case 21866:
      return "KOI8-U";
    case 28591:
      return "ISO-8859-1";
    case 28592:
      return "ISO-8859-2";
    case 28595:
      return "ISO-8859-5";
    case 28605:
      return "ISO-8859-15";
    case 51949:
      return "EUC-KR";
    case 54936:
      return "GB18030";
    case kCodePageUtf8:
      return "UTF-8";
    default:
      return nullptr;
  }
}

// One iconv converter, closed when it goes out of scope.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts input onto the end of *out. Stops at the first byte sequence that cannot be
  // converted and returns how many input bytes were consumed; *failed tells whether it
  // stopped early. The converter's shift state is flushed when the input is used up.
  std::size_t Convert(std::string_view input, std::string* out, bool* failed) {
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    *failed = false;
    char buffer[1024];
    while (true) {
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      std::size_t result = inLeft > 0 ? iconv(cd_, &in, &inLeft, &outPtr, &outLeft)
                                      : iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
      int error = errno;
      out->append(buffer, static_cast<std::size_t>(outPtr - buffer));
      if (result != static_cast<std::size_t>(-1)) {
        if (inLeft == 0 && outPtr == buffer) break;  // flushed and nothing more came out
        continue;
      }
      if (error == E2BIG) continue;
      *failed = true;  // EILSEQ or EINVAL (a sequence cut off at the end)
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      break;
    }
    return input.size() - inLeft;
  }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 character at the start of text: the length its lead byte announces
// when the continuation bytes are all there, else 1 (an invalid byte).
std::size_t Utf8CharLength(std::string_view text) {
  auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

bool IsCodePageSupported(std::uint32_t codePage) {
  const char* name = IconvName(codePage);
  return name != nullptr && Converter("UTF-8", name).ok();
}

bool DecodeCodePage(std::uint32_t codePage, std::string_view bytes, std::string* utf8) {
  const char* name = IconvName(codePage);
  if (name == nullptr) return false;
  Converter converter("UTF-8", name);
  if (!converter.ok()) return false;
  utf8->clear();
  while (true) {
    bool failed = false;
    bytes.remove_prefix(converter.Convert(bytes, utf8, &failed));
    if (!failed) return true;
    // A byte that starts no character of the code page: U+FFFD, and go on after it.
    utf8->append(kReplacementUtf8);
    bytes.remove_prefix(1);
  }
}

bool EncodeCodePage(std::uint32_t codePage, std::string_view utf8, std::string* bytes) {
  const char* name = IconvName(codePage);
  if (name == nullptr) {
    bytes->assign(utf8);  // an unknown code page: the text as it is, and a failure
    return false;
  }
  Converter converter(name, "UTF-8");
  if (!converter.ok()) {
    bytes->assign(utf8);
    return false;
  }
  bytes->clear();
  bool complete = true;
  while (true) {
    bool failed = false;
    utf8.remove_prefix(converter.Convert(utf8, bytes, &failed));
    if (!failed) return complete;
    // A character the code page cannot hold, or bytes that are not UTF-8.
    bytes->push_back('?');
    utf8.remove_prefix(Utf8CharLength(utf8));
    complete = false;
  }
}

}  // namespace dav::platform
