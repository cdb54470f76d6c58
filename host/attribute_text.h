// DOS attributes as letters, and the "+R -H" changes of the attrib command.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dav::host {

// Five columns "RHSDA", a letter where the attribute is set and "-" where not.
std::string AttributeLetters(std::uint32_t attributes);

// Applies changes such as "+R", "-h" (R, H, S, A; any case) to attributes. False with a
// message for anything else, or for one attribute both set and cleared.
bool ApplyAttributeChanges(const std::vector<std::string>& changes, std::uint32_t* attributes,
                           std::string* error);

// An attribute mask in decimal or 0x hex ("55", "0x37"); false when it is not one.
bool ParseAttributeMask(std::string_view text, std::uint32_t* mask);

}  // namespace dav::host
