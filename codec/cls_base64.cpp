#include "codec/cls_base64.h"

#include "util/ansi_text.h"

namespace dav::codec {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineLength = 76;

// The code of the UTF-8 character at text[*pos], moving *pos past it. A byte that starts no
// well-formed sequence is taken as a character of its own.
char32_t NextCharacterCode(std::string_view text, std::size_t* pos) {
  const auto lead = static_cast<unsigned char>(text[*pos]);
  std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length > 1 && *pos + length <= text.size()) {
    char32_t code = lead & (0x7F >> length);
    bool ok = true;
    for (std::size_t i = 1; i < length && ok; ++i) {
      const auto next = static_cast<unsigned char>(text[*pos + i]);
      ok = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (ok) {
      *pos += length;
      return code;
    }
  }
  ++*pos;
  return lead;
}

std::string RemoveAll(std::string_view text, std::string_view what) {
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, from)) {
    out.append(text.substr(from, at - from));
    from = at + what.size();
  }
  out.append(text.substr(from));
  return out;
}

}  // namespace

clsBase64::clsBase64(platform::Platform& platform) : platform_(platform) {
  values_.fill(0);
  for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
    alphabet_[i] = kAlphabet[i];
    values_[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
  }
}

std::string clsBase64::Encode64(std::string_view text) const {
  if (text.empty()) return {};
  const std::string ansi = util::ToAnsi(platform_, text);
  return EncodeArray64(std::vector<std::uint8_t>(ansi.begin(), ansi.end()));
}

std::string clsBase64::Decode64(std::string_view base64) const {
  if (base64.empty()) return {};
  const std::vector<std::uint8_t> bytes = DecodeArray64(base64);
  return util::FromAnsi(platform_, std::string(bytes.begin(), bytes.end()));
}

std::string clsBase64::EncodeArray64(const std::vector<std::uint8_t>& bytes) const {
  std::string encoded;
  encoded.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    const std::uint32_t group =
        (bytes[i] << 16) | (left > 1 ? bytes[i + 1] << 8 : 0) | (left > 2 ? bytes[i + 2] : 0);
    encoded += alphabet_[(group >> 18) & 0x3F];
    encoded += alphabet_[(group >> 12) & 0x3F];
    encoded += left > 1 ? alphabet_[(group >> 6) & 0x3F] : '=';
    encoded += left > 2 ? alphabet_[group & 0x3F] : '=';
  }
  if (encoded.size() <= kLineLength) return encoded;

  std::string lines;
  lines.reserve(encoded.size() + encoded.size() / kLineLength * 2 + 2);
  for (std::size_t at = 0; at < encoded.size(); at += kLineLength) {
    lines.append(encoded, at, kLineLength);
    // Every full line ends with CR LF, the last one too when the length is a multiple.
    if (at + kLineLength <= encoded.size()) lines += "\r\n";
  }
  return lines;
}

std::vector<std::uint8_t> clsBase64::DecodeArray64(std::string_view base64) const {
  const std::string text = RemoveAll(RemoveAll(base64, "\r\n"), "=");
  std::vector<std::uint8_t> values;
  values.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    values.push_back(values_[NextCharacterCode(text, &pos) & 0xFF]);
  }

  std::vector<std::uint8_t> bytes;
  bytes.reserve(values.size() / 4 * 3 + 2);
  for (std::size_t i = 0; i < values.size(); i += 4) {
    const std::size_t left = values.size() - i;
    if (left == 1) break;  // a single character carries no whole byte
    const std::uint32_t group = (values[i] << 18) | (values[i + 1] << 12) |
                                (left > 2 ? values[i + 2] << 6 : 0) |
                                (left > 3 ? values[i + 3] : 0);
    bytes.push_back(static_cast<std::uint8_t>(group >> 16));
    if (left > 2) bytes.push_back(static_cast<std::uint8_t>(group >> 8));
    if (left > 3) bytes.push_back(static_cast<std::uint8_t>(group));
  }
  return bytes;
}

}  // namespace dav::codec
