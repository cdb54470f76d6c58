#include "xml/well_formed.h"

#include <algorithm>
#include <vector>

#include "xml/parse_error.h"
#include "xml/unicode.h"

namespace dav::xml {
namespace {

bool IsXmlWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsXmlCharacter(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The code point of a character reference body ("#65", "#x41"); nullopt when malformed.
std::optional<char32_t> CharacterReference(std::string_view body) {
  int radix = 10;
  std::string_view digits = body.substr(1);
  if (!digits.empty() && digits.front() == 'x') {
    radix = 16;
    digits.remove_prefix(1);
  }
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (char d : digits) {
    int v = -1;
    if (d >= '0' && d <= '9') v = d - '0';
    if (radix == 16 && d >= 'a' && d <= 'f') v = d - 'a' + 10;
    if (radix == 16 && d >= 'A' && d <= 'F') v = d - 'A' + 10;
    if (v < 0) return std::nullopt;
    value = value * radix + v;
    if (value > 0x10FFFF) return std::nullopt;
  }
  return static_cast<char32_t>(value);
}

class Checker {
 public:
  explicit Checker(std::string_view text) : t_(text) {}

  std::optional<WellFormednessFault> Run() {
    if (CheckCharacters()) return fault_;
    while (p_ < t_.size() && !fault_) {
      if (t_[p_] != '<') {
        Text();
      } else if (At("<?")) {
        ProcessingInstruction();
      } else if (At("<!--")) {
        Comment();
      } else if (At("<![CDATA[")) {
        if (depth_ == 0)
          Fail(p_, kXmlTextOutsideRoot, "CDATA is not allowed outside the root element.");
        SkipPast("]]>");
      } else if (At("<!")) {
        if (rootSeen_) Fail(p_, kXmlBadMarkup, "A DOCTYPE may only stand before the root element.");
        SkipDoctype();
      } else if (At("</")) {
        --depth_;
        SkipPast(">");
      } else {
        StartTag();
      }
    }
    return fault_;
  }

 private:
  bool At(std::string_view s) const { return t_.substr(p_, s.size()) == s; }

  void SkipPast(std::string_view end) {
    const std::size_t found = t_.find(end, p_);
    p_ = found == std::string_view::npos ? t_.size() : found + end.size();
  }

  void Fail(std::size_t offset, std::int32_t code, std::string reason) {
    if (!fault_) fault_ = WellFormednessFault{offset, code, std::move(reason)};
  }

  bool CheckCharacters() {
    std::size_t pos = 0;
    char32_t c;
    while (pos < t_.size()) {
      const std::size_t start = pos;
      if (!NextCodePoint(t_, &pos, &c)) {
        Fail(start, kXmlInvalidCharacter, "The text holds bytes that are not UTF-8.");
        return true;
      }
      if (!IsXmlCharacter(c)) {
        Fail(start, kXmlInvalidCharacter, "An invalid character was found in the text.");
        return true;
      }
    }
    return false;
  }

  // Text between markup: only blanks outside the root; references checked inside it.
  void Text() {
    std::size_t end = t_.find('<', p_);
    if (end == std::string_view::npos) end = t_.size();
    if (depth_ == 0) {
      for (std::size_t i = p_; i < end; ++i) {
        if (!IsXmlWhitespace(t_[i])) {
          Fail(i, kXmlTextOutsideRoot, "Text is not allowed outside the root element.");
          return;
        }
      }
    } else {
      CheckReferences(p_, end);
    }
    p_ = end;
  }

  void CheckReferences(std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end && !fault_; ++i) {
      if (t_[i] != '&') continue;
      const std::size_t semicolon = t_.find(';', i);
      if (semicolon == std::string_view::npos || semicolon >= end) {
        Fail(i, kXmlBadReference, "\"&\" must start an entity or character reference.");
        return;
      }
      const std::string_view body = t_.substr(i + 1, semicolon - i - 1);
      if (body == "amp" || body == "lt" || body == "gt" || body == "quot" || body == "apos") {
        continue;
      }
      if (!body.empty() && body.front() == '#') {
        const std::optional<char32_t> c = CharacterReference(body);
        if (!c || !IsXmlCharacter(*c)) {
          Fail(i, kXmlBadReference,
               "The character reference \"&" + std::string(body) +
                   ";\" names no allowed character.");
        }
        continue;
      }
      Fail(i, kXmlBadReference, "Reference to undeclared entity \"" + std::string(body) + "\".");
    }
  }

  void SkipBlanks() {
    while (p_ < t_.size() && IsXmlWhitespace(t_[p_])) ++p_;
  }

  std::string_view Name() {
    const std::size_t start = p_;
    while (p_ < t_.size() && !IsXmlWhitespace(t_[p_]) && t_[p_] != '=' && t_[p_] != '/' &&
           t_[p_] != '>') {
      ++p_;
    }
    return t_.substr(start, p_ - start);
  }

  // "<!-- ... -->" with no "--" inside, which the parser lets pass (and the document's own
  // text then changes the comment).
  void Comment() {
    const std::size_t start = p_;
    const std::size_t dashes = t_.find("--", p_ + 4);
    if (dashes == std::string_view::npos) {
      p_ = t_.size();
      return;
    }
    if (t_.substr(dashes, 3) != "-->") {
      Fail(start, kXmlBadMarkup, "A comment may not hold \"--\".");
    }
    p_ = dashes + 3;
  }

  // "<?target ...?>". The target "xml" is the declaration, which may only open the text and
  // holds only its own pseudo-attributes; the parser takes a malformed one (even one that
  // runs on over elements up to the next "?>"), and the document's own text would then not
  // load again.
  void ProcessingInstruction() {
    const std::size_t start = p_;
    p_ += 2;
    const std::size_t end = std::min(t_.find("?>", p_), t_.size());
    std::size_t nameEnd = p_;
    while (nameEnd < end && !IsXmlWhitespace(t_[nameEnd])) ++nameEnd;
    const std::string_view target = t_.substr(p_, nameEnd - p_);
    const bool reserved = target.size() == 3 && (target[0] | 0x20) == 'x' &&
                          (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l';
    if (reserved) {
      const bool atStart = start == 0 || (start == 3 && t_.substr(0, 3) == "\xEF\xBB\xBF");
      if (target != "xml" || !atStart) {
        Fail(start, kXmlBadMarkup, "The XML declaration may only stand at the start of the text.");
      } else if (!IsDeclaration(t_.substr(nameEnd, end - nameEnd))) {
        Fail(start, kXmlBadMarkup, "The XML declaration is malformed.");
      }
    }
    p_ = std::min(end + 2, t_.size());
  }

  // version, then optionally encoding and standalone, each name="value" or name='value'
  // after a blank; blanks may end it.
  static bool IsDeclaration(std::string_view rest) {
    static constexpr std::string_view kNames[] = {"version", "encoding", "standalone"};
    std::size_t next = 0;  // the first name that may still come
    while (true) {
      const std::size_t blanks = rest.find_first_not_of(" \t\r\n");
      if (blanks == std::string_view::npos) return next > 0;
      if (blanks == 0) return false;
      rest.remove_prefix(blanks);
      const std::size_t equals = rest.find('=');
      if (equals == std::string_view::npos) return false;
      std::string_view name = rest.substr(0, equals);
      name = name.substr(0, name.find_last_not_of(" \t\r\n") + 1);
      std::size_t index = 0;
      while (index < 3 && kNames[index] != name) ++index;
      if (index == 3 || index < next || (next == 0 && index != 0)) return false;
      next = index + 1;
      rest.remove_prefix(equals + 1);
      rest.remove_prefix(std::min(rest.find_first_not_of(" \t\r\n"), rest.size()));
      if (rest.empty() || (rest[0] != '"' && rest[0] != '\'')) return false;
      const std::size_t close = rest.find(rest[0], 1);
      if (close == std::string_view::npos) return false;
      const std::string_view value = rest.substr(1, close - 1);
      if (value.empty() || value.find_first_of("<>&\"'") != std::string_view::npos) return false;
      rest.remove_prefix(close + 1);
    }
  }

  void StartTag() {
    if (depth_ == 0 && rootSeen_) {
      Fail(p_, kXmlMultipleRoots, "Only one top level element is allowed.");
      return;
    }
    rootSeen_ = true;
    ++p_;
    Name();
    std::vector<std::string_view> names;
    while (p_ < t_.size() && !fault_) {
      SkipBlanks();
      if (At("/>")) {
        p_ += 2;
        return;
      }
      if (At(">")) {
        ++p_;
        ++depth_;
        return;
      }
      const std::size_t nameStart = p_;
      const std::string_view name = Name();
      for (std::string_view seen : names) {
        if (seen == name) {
          Fail(nameStart, kXmlDuplicateAttribute,
               "Attribute \"" + std::string(name) + "\" appears twice in one element.");
        }
      }
      names.push_back(name);
      SkipBlanks();
      if (p_ < t_.size() && t_[p_] == '=') ++p_;
      SkipBlanks();
      if (p_ >= t_.size()) return;
      const char quote = t_[p_++];
      std::size_t end = t_.find(quote, p_);
      if (end == std::string_view::npos) end = t_.size();
      const std::size_t less = t_.find('<', p_);
      if (less < end) {
        Fail(less, kXmlLessThanInAttribute, "\"<\" is not allowed in an attribute value.");
      }
      CheckReferences(p_, end);
      p_ = end + 1;
    }
  }

  // "<!DOCTYPE ...>" with an optional internal subset in brackets. Only skipped: nothing it
  // declares or names is ever read or loaded.
  void SkipDoctype() {
    int brackets = 0;
    char quote = 0;
    p_ += 2;
    while (p_ < t_.size()) {
      const char c = t_[p_];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (At("<!--")) {
        Comment();
        continue;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '[') {
        ++brackets;
      } else if (c == ']') {
        --brackets;
      } else if (c == '>' && brackets <= 0) {
        ++p_;
        return;
      }
      ++p_;
    }
  }

  std::string_view t_;
  std::size_t p_ = 0;
  int depth_ = 0;
  bool rootSeen_ = false;
  std::optional<WellFormednessFault> fault_;
};

}  // namespace

std::optional<WellFormednessFault> FindWellFormednessFault(std::string_view text) {
  return Checker(text).Run();
}

}  // namespace dav::xml
