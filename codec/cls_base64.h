// Base64 of RFC 4648 with the MIME line breaking of RFC 2045 on output and a lenient
// decoder, for the values the folder access settings keep in Base64 form.
//
// Output lines hold 76 characters joined by CR LF; when the encoded length is an exact
// multiple of 76 (and longer than one line) the text ends with one CR LF.
//
// The decoder rejects nothing: it removes every CR LF pair, then every "=" wherever it
// stands, and decodes the rest; any other character outside the alphabet (a blank, a lone
// CR or LF) counts as the value 0 and is not skipped. Only the low eight bits of each
// character's code are looked at.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace dav::codec {

class clsBase64 {
 public:
  // Texts go through the ANSI code page of the machine.
  explicit clsBase64(platform::Platform& platform);

  // The text's bytes in the ANSI code page, encoded; empty text gives empty text.
  std::string Encode64(std::string_view text) const;

  // The decoded bytes read as text of the ANSI code page; empty text gives empty text.
  std::string Decode64(std::string_view base64) const;

  std::string EncodeArray64(const std::vector<std::uint8_t>& bytes) const;
  std::vector<std::uint8_t> DecodeArray64(std::string_view base64) const;

 private:
  platform::Platform& platform_;
  std::array<char, 64> alphabet_;
  std::array<std::uint8_t, 256> values_;  // character code to 6-bit value; 0 outside
};

}  // namespace dav::codec
