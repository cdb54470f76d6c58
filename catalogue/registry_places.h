// The registry places that several sections share: the policy keys of Explorer, of the
// system and of the command prompt, the two hives that machine-wide policies go to, and the
// module name the sections log under.
#pragma once

#include <string_view>

#include "platform/registry.h"

namespace dav::catalogue {

inline constexpr std::string_view kSectionModule = "modDavIrizevez";

inline constexpr const char* kExplorerPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char* kSystemPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char* kCommandPolicies = "Software\\Policies\\Microsoft\\Windows\\System";

// A policy that holds for everyone is written to both hives.
inline constexpr platform::KeyHandle kBothHives[] = {platform::kHKeyCurrentUser,
                                                     platform::kHKeyLocalMachine};

}  // namespace dav::catalogue
