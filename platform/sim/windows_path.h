// Windows paths and names as the simulated PC reads them: taking a path apart the way
// Windows normalises it, the names Windows forbids, and the wildcard matching of the
// find-first/find-next listing. Pure text work; nothing here touches the host.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace dav::platform::sim {

// An absolute Windows path taken apart, with "." and ".." already resolved.
struct WindowsPath {
  char drive = 'C';                // upper case
  std::vector<std::string> names;  // below the drive's root; empty for the root itself
  bool trailingSeparator = false;  // the text ended in "\" or "/" after a name
};

// Parses "X:\a\b" (either separator, any letter case). As Windows does, "." and ".."
// are resolved (".." at the root stays at the root), empty names between doubled
// separators are dropped, trailing dots are cut from every name and trailing spaces from
// the last one. With allowWildcards, "*" and "?" may appear in the last name (a listing
// pattern). Errors: kErrorPathNotFound for an empty or relative path ("a\b", "\a",
// "C:a"), kErrorBadNetPath for a UNC path ("\\server\share"), kErrorInvalidName for a
// name with a character Windows forbids or one made of dots only ("...").
Status ParseWindowsPath(std::string_view text, bool allowWildcards, WindowsPath* path);

// True when a name can exist on Windows: not empty, no control characters, none of
// \ / : * ? " < > |, and not "." or "..".
bool IsValidEntryName(std::string_view name);

bool HasWildcards(std::string_view name);

// Name comparison without regard to letter case (ASCII letters; other scripts, Korean
// among them, have no case that matters here).
bool NamesEqual(std::string_view a, std::string_view b);
// Orders names without regard to case; names that differ only in case by their bytes.
bool NameLess(std::string_view a, std::string_view b);

// Matches a name against a listing pattern as FindFirstFileA does: "*" any run of
// characters, "?" exactly one character, case ignored; a trailing ".*" also matches the
// end of the name, so "*.*" lists names without a dot and "readme.*" finds "readme".
bool MatchesPattern(std::string_view pattern, std::string_view name);

}  // namespace dav::platform::sim
