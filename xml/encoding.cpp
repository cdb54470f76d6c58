#include "xml/encoding.h"

#include <cctype>

#include "platform/code_page.h"
#include "xml/unicode.h"

namespace dav::xml {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::uint32_t> NumberAfter(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix || name.size() == prefix.size()) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (char c : name.substr(prefix.size())) {
    if (c < '0' || c > '9' || value > 100000) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

ParseError EncodingFault(std::string_view text, std::size_t offset, std::int32_t code,
                         std::string reason) {
  return ErrorAt(text, offset, code, std::move(reason), {});
}

std::optional<ParseError> DecodeUtf16(std::string_view bytes, bool bigEndian, std::string* utf8) {
  std::size_t fault = std::string_view::npos;
  *utf8 = Utf16ToUtf8(bytes, bigEndian, &fault);
  if (fault == std::string_view::npos) return std::nullopt;
  return EncodingFault(*utf8, utf8->size(), kXmlInvalidCharacter,
                       "The file holds a byte sequence that is not UTF-16.");
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::optional<std::uint32_t> CodePageOfEncoding(std::string_view name) {
  const std::string n = Lower(name);
  if (n == "ks_c_5601-1987" || n == "ks_c_5601" || n == "euc-kr" || n == "cp949" || n == "uhc" ||
      n == "windows-949") {
    return 949u;
  }
  if (n == "utf-8" || n == "utf8") return platform::kCodePageUtf8;
  if (n == "utf-16" || n == "utf-16le" || n == "unicode") return kCodePageUtf16;
  if (n == "us-ascii" || n == "ascii") return 20127u;
  if (n == "iso-8859-1" || n == "latin1") return 28591u;
  std::optional<std::uint32_t> number = NumberAfter(n, "windows-");
  if (!number) number = NumberAfter(n, "cp");
  if (number && platform::IsCodePageSupported(*number)) return number;
  return std::nullopt;
}

std::string DeclaredEncoding(std::string_view text) {
  if (text.substr(0, 5) != "<?xml") return {};
  const std::size_t end = text.find("?>");
  const std::string_view declaration = text.substr(0, end);
  const std::size_t key = declaration.find("encoding");
  if (key == std::string_view::npos) return {};
  std::size_t p = key + 8;
  while (p < declaration.size() &&
         (declaration[p] == ' ' || declaration[p] == '=' || declaration[p] == '\t' ||
          declaration[p] == '\r' || declaration[p] == '\n')) {
    ++p;
  }
  if (p >= declaration.size() || (declaration[p] != '"' && declaration[p] != '\'')) return {};
  const std::size_t close = declaration.find(declaration[p], p + 1);
  if (close == std::string_view::npos) return {};
  return std::string(declaration.substr(p + 1, close - p - 1));
}

std::optional<ParseError> DecodeDocumentBytes(std::string_view bytes, std::string* utf8) {
  utf8->clear();
  if (bytes.substr(0, 2) == kUtf16LeBom) return DecodeUtf16(bytes.substr(2), false, utf8);
  if (bytes.substr(0, 2) == kUtf16BeBom) return DecodeUtf16(bytes.substr(2), true, utf8);
  if (bytes.substr(0, 4) == std::string_view("<\0?\0", 4)) return DecodeUtf16(bytes, false, utf8);
  if (bytes.substr(0, 4) == std::string_view("\0<\0?", 4)) return DecodeUtf16(bytes, true, utf8);

  bool bom = false;
  if (bytes.substr(0, 3) == kUtf8Bom) {
    bytes.remove_prefix(3);
    bom = true;
  }
  const std::string declared = DeclaredEncoding(bytes);
  std::optional<std::uint32_t> codePage = platform::kCodePageUtf8;
  if (!declared.empty() && !bom) codePage = CodePageOfEncoding(declared);
  if (!codePage) {
    return EncodingFault(bytes, bytes.find("encoding"), kXmlUnsupportedEncoding,
                         "The encoding \"" + declared + "\" is not supported.");
  }
  if (*codePage == kCodePageUtf16) {
    return EncodingFault(bytes, bytes.find("encoding"), kXmlUnsupportedEncoding,
                         "The declaration names UTF-16, but the file is not stored in UTF-16.");
  }
  if (*codePage == platform::kCodePageUtf8 || IsAscii(bytes)) {
    const std::size_t bad = FindInvalidUtf8(bytes);
    if (bad != std::string_view::npos) {
      return EncodingFault(bytes, bad, kXmlInvalidCharacter,
                           "The file holds bytes that are not UTF-8.");
    }
    utf8->assign(bytes);
    return std::nullopt;
  }
  if (!platform::DecodeCodePage(*codePage, bytes, utf8)) {
    return EncodingFault(bytes, bytes.find("encoding"), kXmlUnsupportedEncoding,
                         "The encoding \"" + declared + "\" is not supported.");
  }
  const std::size_t bad = utf8->find(kReplacementUtf8);
  if (bad != std::string::npos) {
    return EncodingFault(*utf8, bad, kXmlInvalidCharacter,
                         "The file holds bytes that are not characters of \"" + declared + "\".");
  }
  return std::nullopt;
}

bool EncodeDocumentText(std::uint32_t codePage, std::string_view utf8, std::string* bytes) {
  bytes->clear();
  if (codePage == platform::kCodePageUtf8) {
    bytes->assign(utf8);
    return true;
  }
  if (codePage == kCodePageUtf16) {
    *bytes = std::string(kUtf16LeBom) + Utf8ToUtf16Le(utf8);
    return true;
  }
  if (!platform::IsCodePageSupported(codePage)) return false;
  if (platform::EncodeCodePage(codePage, utf8, bytes)) return true;

  // Some characters do not fit: ASCII runs go through as they are (every code page in use
  // holds ASCII), each other character is tried on its own.
  bytes->clear();
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    char32_t c;
    NextCodePoint(utf8, &pos, &c);
    if (c < 0x80) {
      bytes->push_back(static_cast<char>(c));
      continue;
    }
    std::string encoded;
    if (platform::EncodeCodePage(codePage, utf8.substr(start, pos - start), &encoded)) {
      *bytes += encoded;
    } else {
      *bytes += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ";";
    }
  }
  return true;
}

}  // namespace dav::xml
