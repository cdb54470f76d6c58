// UTF-8 <-> UTF-16LE, as the registry's text form and Windows' "Unicode" files need them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dav::host {

// UTF-16LE bytes of UTF-8 text. Bytes that are not valid UTF-8 become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view utf8);

// UTF-8 text of UTF-16LE bytes. Unpaired surrogates become U+FFFD. False (and *utf8
// untouched) when the byte count is odd.
bool Utf16LeToUtf8(std::string_view bytes, std::string* utf8);

// True when the bytes are valid UTF-8; otherwise *badOffset (when given) is the offset of
// the first byte that is not.
bool IsValidUtf8(std::string_view bytes, std::size_t* badOffset = nullptr);

// The character at the start of bytes when it is one valid UTF-8 sequence: its length in
// bytes; 0 when the first byte starts no valid sequence there (a stray or cut-off byte).
std::size_t Utf8CharacterAt(std::string_view bytes);

// The number of UTF-16 code units of UTF-8 text (what Windows counts as characters).
std::size_t Utf16Length(std::string_view utf8);

// The columns the text takes in a terminal: wide (East Asian) characters count two.
std::size_t DisplayWidth(std::string_view utf8);

}  // namespace dav::host
