#include "host/component_command_names.h"

#include <algorithm>
#include <cctype>

namespace dav::host {

const std::vector<std::string_view>& ComponentCommandNames() {
  static const std::vector<std::string_view> kNames = {
      "REQ_SYSCONF", "REQ_WINCONF", "REQ_SYSCONF_SAVE", "REQ_WINCONF_SAVE", "SYSCONFIG",
      "WINCONFIG",   "APL_SYSCONF", "APL_WINCONF",      "APL_PREVWS",       "MAKE_QSF",
      "APL_WINSET",  "APL_LOGOFF",  "APL_LOGIN",        "APL_MNGLOGIN"};
  return kNames;
}

bool IsComponentCommand(std::string_view cmd) {
  const auto& names = ComponentCommandNames();
  return std::find(names.begin(), names.end(), cmd) != names.end();
}

std::string UnknownCommandWarning(std::string_view cmd) {
  std::string warning = "the component has no command '" + std::string(cmd) + "'";
  for (const std::string_view name : ComponentCommandNames()) {
    const bool sameLetters = name.size() == cmd.size() &&
                             std::equal(name.begin(), name.end(), cmd.begin(), [](char a, char b) {
                               return std::toupper(static_cast<unsigned char>(a)) ==
                                      std::toupper(static_cast<unsigned char>(b));
                             });
    if (sameLetters) return warning + "; commands are case-sensitive: " + std::string(name) + "?";
  }
  return warning + " (delivered anyway: the component ignores commands it does not know)";
}

}  // namespace dav::host
