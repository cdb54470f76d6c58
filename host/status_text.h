// Windows status numbers as a person reads them in davhost's messages.
#pragma once

#include <string>

#include "platform/status.h"

namespace dav::host {

// "access denied (error 5)".
std::string StatusText(platform::Status status);

}  // namespace dav::host
