// The command table of IClientComponent_Handle: the first command that cmd equals (exactly,
// letter case included) runs. Commands that are not in the table are ignored.
#include "core/component.h"

namespace dav::core {

void CCDavIrizevez::RunCommand(util::Procedure& /*handle*/, const std::string& /*cmd*/,
                               const std::string& /*protocol*/) {
  // The requests, editor and application commands join here.
}

}  // namespace dav::core
