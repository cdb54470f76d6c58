#include "host/reg_file_parser.h"

#include <cctype>
#include <cstdint>
#include <optional>

#include "host/hive_names.h"
#include "host/utf16.h"

namespace dav::host {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to maxDigits hex digits and nothing else.
std::optional<std::uint32_t> ParseHexNumber(std::string_view s, std::size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return value;
}

// The text after a value: only blanks or a ";" comment may follow.
bool OnlyCommentLeft(std::string_view rest) {
  rest = TrimLeft(rest);
  return rest.empty() || rest.front() == ';';
}

class Parser {
 public:
  // decodeAnsi is set for a REGEDIT4 file, whose hex(N) text data are ANSI bytes.
  Parser(std::vector<std::string_view> lines, std::vector<RegKeySection>* sections,
         const AnsiDecoder* decodeAnsi)
      : lines_(std::move(lines)), sections_(sections), decodeAnsi_(decodeAnsi) {}

  bool Run(RegParseError* error) {
    const std::string_view header =
        decodeAnsi_ ? std::string_view(kRegFile4Header) : std::string_view(kRegFileHeader);
    if (lines_.empty() || TrimRight(TrimLeft(lines_[0])) != header) {
      return Fail(1,
                  "not a registry file: the first line must be '" + std::string(kRegFileHeader) +
                      "' (or " + std::string(kRegFile4Header) + ")",
                  error);
    }
    for (index_ = 1; index_ < lines_.size(); ++index_) {
      const std::string_view line = TrimLeft(lines_[index_]);
      if (line.empty() || line.front() == ';') continue;
      const bool ok = line.front() == '[' ? Section(line) : Value(line);
      if (!ok) return Fail(errorLine_, message_, error);
    }
    return true;
  }

 private:
  int LineNumber() const { return static_cast<int>(index_) + 1; }

  bool Fail(int line, std::string message, RegParseError* error) {
    error->line = line;
    error->message = std::move(message);
    return false;
  }

  bool Error(std::string message) {
    errorLine_ = LineNumber();
    message_ = std::move(message);
    return false;
  }

  bool Section(std::string_view line) {
    line = TrimRight(line);
    if (line.size() < 2 || line.back() != ']') return Error("a key line must end with ']'");
    std::string_view inner = line.substr(1, line.size() - 2);
    RegKeySection section;
    section.line = LineNumber();
    if (!inner.empty() && inner.front() == '-') {
      section.remove = true;
      inner.remove_prefix(1);
    }
    KeyPath path;
    std::string problem;
    if (!ParseKeyPath(inner, &path, &problem)) return Error(problem);
    if (section.remove && path.subKey.empty()) {
      return Error("a whole hive cannot be deleted: [-" + std::string(inner) + "]");
    }
    section.path = path.Full();
    sections_->push_back(std::move(section));
    return true;
  }

  // A quoted text starting at s[0] == '"'; escapes \\, \" and \n. *rest is what follows the
  // closing quote.
  bool QuotedText(std::string_view s, std::string* text, std::string_view* rest) {
    text->clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
      const char c = s[i];
      if (c == '"') {
        *rest = s.substr(i + 1);
        return true;
      }
      if (c != '\\') {
        text->push_back(c);
        continue;
      }
      if (++i == s.size()) break;
      switch (s[i]) {
        case '\\':
          text->push_back('\\');
          break;
        case '"':
          text->push_back('"');
          break;
        case 'n':
          text->push_back('\n');
          break;
        default:
          return Error(std::string("unknown escape '\\") + s[i] + "' (write a backslash as \\\\)");
      }
    }
    return Error("missing closing '\"'");
  }

  bool Value(std::string_view line) {
    if (sections_->empty()) return Error("a value must follow a [KEY] line");
    RegKeySection& section = sections_->back();
    if (section.remove) {
      return Error("values cannot follow a key that is deleted ([-" + section.path + "])");
    }
    RegValue value;
    value.line = LineNumber();
    std::string_view rest;
    if (line.front() == '@') {
      rest = line.substr(1);
    } else if (line.front() == '"') {
      if (!QuotedText(line, &value.name, &rest)) return false;
    } else {
      return Error("expected [KEY], \"name\"=value or @=value");
    }
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() != '=') return Error("expected '=' after the value name");
    rest = TrimLeft(rest.substr(1));

    if (!rest.empty() && rest.front() == '-' && OnlyCommentLeft(rest.substr(1))) {
      value.remove = true;
    } else if (!rest.empty() && rest.front() == '"') {
      std::string text;
      std::string_view after;
      if (!QuotedText(rest, &text, &after)) return false;
      if (!OnlyCommentLeft(after)) return Error("unexpected text after the closing '\"'");
      value.type = platform::kRegSz;
      value.data = text + '\0';
    } else if (StartsWithIgnoringCase(rest, "dword:")) {
      std::string_view digits = rest.substr(6);
      const std::size_t end = digits.find(';');
      digits = TrimRight(digits.substr(0, end));
      const auto dword = ParseHexNumber(digits, 8);
      if (!dword) return Error("dword: needs 1 to 8 hex digits, not '" + std::string(digits) + "'");
      value.type = platform::kRegDword;
      for (int i = 0; i < 4; ++i)
        value.data.push_back(static_cast<char>((*dword >> (8 * i)) & 0xFF));
    } else if (StartsWithIgnoringCase(rest, "hex")) {
      if (!HexValue(rest.substr(3), &value)) return false;
    } else {
      return Error("unknown value '" + std::string(TrimRight(rest)) +
                   "' (expected \"text\", dword:, hex:, hex(N): or -)");
    }
    section.values.push_back(std::move(value));
    return true;
  }

  // After "hex": ":" or "(N):", then comma-separated bytes over lines ending in "\".
  bool HexValue(std::string_view rest, RegValue* value) {
    value->type = platform::kRegBinary;
    if (!rest.empty() && rest.front() == '(') {
      const std::size_t close = rest.find(')');
      const auto type = close == std::string_view::npos
                            ? std::nullopt
                            : ParseHexNumber(rest.substr(1, close - 1), 8);
      if (!type) return Error("hex(N): needs a hex type number");
      value->type = *type;
      rest = rest.substr(close + 1);
    }
    if (rest.empty() || rest.front() != ':') return Error("expected ':' after hex");
    rest.remove_prefix(1);

    const int firstLine = LineNumber();
    std::string bytes;
    for (;;) {
      const std::size_t comment = rest.find(';');
      std::string_view part = TrimRight(rest.substr(0, comment));
      const bool continued = !part.empty() && part.back() == '\\';
      if (continued) part.remove_suffix(1);
      if (!HexBytes(part, &bytes)) return false;
      if (!continued) break;
      if (index_ + 1 >= lines_.size()) return Error("the file ends inside continued hex data");
      ++index_;
      rest = TrimLeft(lines_[index_]);
    }
    if (platform::IsStringType(value->type) && decodeAnsi_) {
      if (!(*decodeAnsi_)(bytes, &value->data)) {
        errorLine_ = firstLine;
        message_ = "text data of hex(" + std::to_string(value->type) +
                   ") are no text of the machine's code page";
        return false;
      }
    } else if (platform::IsStringType(value->type)) {
      if (!Utf16LeToUtf8(bytes, &value->data)) {
        errorLine_ = firstLine;
        message_ = "text data of hex(" + std::to_string(value->type) +
                   ") must be UTF-16LE, an even number of bytes";
        return false;
      }
    } else {
      value->data = std::move(bytes);
    }
    return true;
  }

  // "aa,bb,cc" (a trailing comma is allowed: it precedes a continuation).
  bool HexBytes(std::string_view text, std::string* bytes) {
    while (!text.empty()) {
      const std::size_t comma = text.find(',');
      const std::string_view item = TrimRight(TrimLeft(text.substr(0, comma)));
      const auto byte = ParseHexNumber(item, 2);
      if (!byte) return Error("bad hex byte '" + std::string(item) + "'");
      bytes->push_back(static_cast<char>(*byte));
      if (comma == std::string_view::npos) break;
      text = TrimLeft(text.substr(comma + 1));
    }
    return true;
  }

  std::vector<std::string_view> lines_;
  std::vector<RegKeySection>* sections_;
  const AnsiDecoder* decodeAnsi_;
  std::size_t index_ = 0;
  int errorLine_ = 0;
  std::string message_;
};

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

int LineOfOffset(std::string_view text, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

}  // namespace

bool ParseRegFile(std::string_view bytes, std::vector<RegKeySection>* sections,
                  RegParseError* error, const AnsiDecoder& decodeAnsi) {
  std::string text;
  const bool ansi = bytes.substr(0, kRegFile4Header.size()) == kRegFile4Header;
  if (ansi) {
    if (!decodeAnsi || !decodeAnsi(bytes, &text)) {
      error->line = 1;
      error->message = decodeAnsi ? "the REGEDIT4 file is no text of the machine's code page"
                                  : "REGEDIT4 files need the machine's code page";
      return false;
    }
  } else if (bytes.substr(0, 2) == "\xFF\xFE") {
    if (!Utf16LeToUtf8(bytes.substr(2), &text)) {
      error->line = 1;
      error->message = "UTF-16LE file with an odd number of bytes";
      return false;
    }
  } else if (bytes.substr(0, 2) == "\xFE\xFF") {
    error->line = 1;
    error->message = "UTF-16 big-endian files are not supported (save as UTF-16LE or UTF-8)";
    return false;
  } else {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::size_t bad = 0;
    if (!IsValidUtf8(bytes, &bad)) {
      error->line = LineOfOffset(bytes, bad);
      error->message = "the text is not valid UTF-8 (save the file as UTF-8 or UTF-16LE)";
      return false;
    }
    text = std::string(bytes);
  }
  std::vector<RegKeySection> parsed;
  Parser parser(SplitLines(text), &parsed, ansi ? &decodeAnsi : nullptr);
  if (!parser.Run(error)) return false;
  *sections = std::move(parsed);
  return true;
}

}  // namespace dav::host
