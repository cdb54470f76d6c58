// The Base64 helpers of modMain: one clsBase64 per call, texts in the machine's ANSI code
// page.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace dav::modMain {

std::string Base64Encode(platform::Platform& platform, std::string_view text);
std::string Base64Decode(platform::Platform& platform, std::string_view base64);

}  // namespace dav::modMain
