// The registry places that several sections share: the policy keys of Explorer, of the
// system and of the command prompt, the Explorer and browser keys, the two hives that machine-wide
// policies go to, and the module name the sections log under.
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

inline constexpr const char* kAdvancedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const char* kKeyboardKey = "Control Panel\\Keyboard";
// The browser's own settings, and the policies that lock its options dialog.
inline constexpr const char* kBrowserKey = "Software\\Microsoft\\Internet Explorer";
inline constexpr const char* kBrowserMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr const char* kBrowserOptionsKey =
    "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";

// A policy that holds for everyone is written to both hives.
inline constexpr platform::KeyHandle kBothHives[] = {platform::kHKeyCurrentUser,
                                                     platform::kHKeyLocalMachine};

}  // namespace dav::catalogue
