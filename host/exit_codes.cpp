#include "host/exit_codes.h"

namespace dav::host {

std::string VersionText() {
  return "davhost " DAVHOST_VERSION "\nDavIrizevez " DAV_COMPONENT_VERSION;
}

std::string ExitCodeTable() {
  return "Exit codes:\n"
         "  0  success; handle/session: every command delivered, no error logged, no write refused\n"
         "  1  the command could not be carried out (one 'davhost:' line on stderr)\n"
         "  2  the command line does not parse, or an argument is not valid UTF-8\n"
         "  3  handle/session/plan: a command the component has no name for (delivered anyway)\n"
         "  4  handle/session/legacy/plan: the component logged an error, or the machine\n"
         "     refused a write\n";
}

}  // namespace dav::host
