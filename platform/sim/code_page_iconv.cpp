// Code page conversion on the simulated PC: Windows code page numbers mapped onto glibc iconv
// converters. A converter is opened once per thread and direction and put back in its
// initial state before each use, so that no call sees what another left; opening one (finding
// and loading its module) costs more than most conversions.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/utf8_sequence.h"

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

// The converters this thread opened, closed when it ends.
class OpenConverters {
 public:
  ~OpenConverters() {
    for (const Entry& entry : entries_) iconv_close(entry.cd);
  }
  // The converter from one character set to another in its initial state; (iconv_t)-1 when
  // iconv has none (not remembered, so that the next call asks again as before).
  iconv_t Get(const char* to, const char* from) {
    for (const Entry& entry : entries_) {
      if (std::strcmp(entry.to, to) == 0 && std::strcmp(entry.from, from) == 0) {
        iconv(entry.cd, nullptr, nullptr, nullptr, nullptr);
        return entry.cd;
      }
    }
    const iconv_t cd = iconv_open(to, from);
    if (cd != reinterpret_cast<iconv_t>(-1)) entries_.push_back({to, from, cd});
    return cd;
  }

 private:
  struct Entry {
    const char* to;  // names of IconvName and literals, alive for the program's life
    const char* from;
    iconv_t cd;
  };
  std::vector<Entry> entries_;
};

// One use of this thread's iconv converter for a direction.
class Converter {
 public:
  Converter(const char* to, const char* from) {
    thread_local OpenConverters open;
    cd_ = open.Get(to, from);
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

// Every code page above holds the 128 ASCII characters as the same single bytes, so ASCII
// text (most names and data) passes through unchanged without opening a converter.
bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Bytes that the code page leaves undefined but Windows converts all the same, to and from
// the code point of the same number (0x81 is U+0081 in 1252); iconv refuses them.
bool IsByteWindowsPassesThrough(std::uint32_t codePage, std::uint32_t byte) {
  switch (codePage) {
    case 1252:
      return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    case 949:
      return byte == 0x80;
    default:
      return false;
  }
}

// UTF-8 "decoded" as Windows decodes it: every ill-formed sequence becomes one U+FFFD.
void DecodeUtf8(std::string_view bytes, std::string* utf8) {
  while (!bytes.empty()) {
    const Utf8Sequence sequence = ReadUtf8Sequence(bytes);
    utf8->append(sequence.valid ? bytes.substr(0, sequence.length) : kReplacementUtf8);
    bytes.remove_prefix(sequence.length);
  }
}

// UTF-8 "encoded" into UTF-8: every ill-formed sequence becomes one "?".
bool EncodeUtf8(std::string_view utf8, std::string* bytes) {
  bool complete = true;
  while (!utf8.empty()) {
    const Utf8Sequence sequence = ReadUtf8Sequence(utf8);
    if (sequence.valid) {
      bytes->append(utf8.substr(0, sequence.length));
    } else {
      bytes->push_back('?');
      complete = false;
    }
    utf8.remove_prefix(sequence.length);
  }
  return complete;
}

// How many bytes at the start of text are ASCII.
std::size_t AsciiPrefixLength(std::string_view text) {
  std::size_t length = 0;
  while (length < text.size() && static_cast<unsigned char>(text[length]) < 0x80) ++length;
  return length;
}

// The length of text up to the first ASCII stretch long enough to be worth copying past the
// converter (short ones, the spaces and signs between words, go through with their words).
std::size_t SpanBeforeLongAscii(std::string_view text) {
  constexpr std::size_t kLongAscii = 16;
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) {
      run = 0;
    } else if (++run == kLongAscii) {
      return i + 1 - kLongAscii;
    }
  }
  return text.size();
}

// Converts utf8 onto the end of *bytes; false when a character could not be held.
bool EncodeSpan(Converter& converter, std::uint32_t codePage, std::string_view utf8,
                std::string* bytes) {
  bool complete = true;
  while (true) {
    bool failed = false;
    utf8.remove_prefix(converter.Convert(utf8, bytes, &failed));
    if (!failed || utf8.empty()) return complete;
    // A character the code page cannot hold becomes one "?" per UTF-16 unit, as
    // WideCharToMultiByte gives it ("??" for one outside the BMP); bytes that are not
    // UTF-8 become one "?" per broken sequence.
    const Utf8Sequence sequence = ReadUtf8Sequence(utf8);
    if (sequence.valid && IsByteWindowsPassesThrough(codePage, sequence.codePoint)) {
      bytes->push_back(static_cast<char>(sequence.codePoint));
    } else {
      bytes->append(sequence.valid && sequence.codePoint > 0xFFFF ? 2 : 1, '?');
      complete = false;
    }
    utf8.remove_prefix(sequence.length);
  }
}

// Converts bytes onto the end of *utf8, each byte that starts no character as U+FFFD.
void DecodeSpan(Converter& converter, std::uint32_t codePage, std::string_view bytes,
                std::string* utf8) {
  while (true) {
    bool failed = false;
    bytes.remove_prefix(converter.Convert(bytes, utf8, &failed));
    if (!failed || bytes.empty()) return;
    // A byte that starts no character of the code page: U+FFFD, and go on after it.
    const auto byte = static_cast<unsigned char>(bytes.front());
    if (IsByteWindowsPassesThrough(codePage, byte)) {
      utf8->push_back('\xC2');  // U+0080 .. U+00BF in UTF-8
      utf8->push_back(static_cast<char>(byte));
    } else {
      utf8->append(kReplacementUtf8);
    }
    bytes.remove_prefix(1);
  }
}

}  // namespace

bool IsCodePageSupported(std::uint32_t codePage) {
  const char* name = IconvName(codePage);
  return name != nullptr && Converter("UTF-8", name).ok();
}

bool DecodeCodePage(std::uint32_t codePage, std::string_view bytes, std::string* utf8) {
  utf8->clear();
  const char* name = IconvName(codePage);
  if (name == nullptr) return false;
  if (IsAscii(bytes)) {
    utf8->assign(bytes);
    return true;
  }
  if (codePage == kCodePageUtf8) {
    DecodeUtf8(bytes, utf8);
    return true;
  }
  Converter converter("UTF-8", name);
  if (!converter.ok()) return false;
  // As in EncodeCodePage, long ASCII stretches pass by the converter. An ASCII byte right
  // after another byte may be the second byte of a character (949's trail bytes include
  // letters), so the byte that ends each converted span is the first ASCII one; an ASCII
  // byte after an ASCII byte always starts a character of its own.
  utf8->reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t ascii = AsciiPrefixLength(bytes);
    utf8->append(bytes.substr(0, ascii));
    bytes.remove_prefix(ascii);
    const std::size_t span = std::min(SpanBeforeLongAscii(bytes) + 1, bytes.size());
    DecodeSpan(converter, codePage, bytes.substr(0, span), utf8);
    bytes.remove_prefix(span);
  }
  return true;
}

bool EncodeCodePage(std::uint32_t codePage, std::string_view utf8, std::string* bytes) {
  bytes->clear();
  const char* name = IconvName(codePage);
  if (name == nullptr) {
    bytes->assign(utf8);  // an unknown code page: the text as it is, and a failure
    return false;
  }
  if (IsAscii(utf8)) {
    bytes->assign(utf8);
    return true;
  }
  if (codePage == kCodePageUtf8) return EncodeUtf8(utf8, bytes);
  Converter converter(name, "UTF-8");
  if (!converter.ok()) {
    bytes->assign(utf8);
    return false;
  }
  // Long ASCII stretches (the markup of a logged document) are copied as they are, and only
  // the text between them goes through the converter: an ASCII character in UTF-8 is always
  // a whole character, and the same single byte in every code page above.
  bytes->reserve(utf8.size());
  bool complete = true;
  while (!utf8.empty()) {
    const std::size_t ascii = AsciiPrefixLength(utf8);
    bytes->append(utf8.substr(0, ascii));
    utf8.remove_prefix(ascii);
    const std::size_t span = SpanBeforeLongAscii(utf8);
    complete = EncodeSpan(converter, codePage, utf8.substr(0, span), bytes) && complete;
    utf8.remove_prefix(span);
  }
  return complete;
}

}  // namespace dav::platform
