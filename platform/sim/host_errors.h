// The one place where failures of the host's file calls (errno) become the Windows error
// numbers that the simulated PC answers with.
#pragma once

#include "platform/status.h"

namespace dav::platform::sim {

Status StatusFromErrno(int error);

}  // namespace dav::platform::sim
