// Value data between the registry's bytes (string types in the machine's ANSI code page)
// and the UTF-8 layout that davhost and the registry text form work with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace dav::host {

// String types are decoded from the code page (NULs kept); other types pass unchanged.
std::string DecodeValueData(std::uint32_t codePage, platform::ValueType type,
                            std::string_view stored);

// String types are encoded into the code page; false when a character cannot be held
// there (writing "?" in its place would silently change the data).
bool EncodeValueData(std::uint32_t codePage, platform::ValueType type, std::string_view utf8,
                     std::string* stored);

}  // namespace dav::host
