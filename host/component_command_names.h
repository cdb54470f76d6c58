// The commands the component answers, as davhost knows them. The component ignores any other
// command; davhost still delivers one (the component may be newer than this list) and
// warns, naming the command that differs only in letter case when there is one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dav::host {

const std::vector<std::string_view>& ComponentCommandNames();

bool IsComponentCommand(std::string_view cmd);

// The warning for a command that is not in the list: "the component has no command 'x'",
// with "; commands are case-sensitive: X?" when X differs from it only in letter case.
std::string UnknownCommandWarning(std::string_view cmd);

}  // namespace dav::host
