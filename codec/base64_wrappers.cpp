#include "codec/base64_wrappers.h"

#include "codec/cls_base64.h"

namespace dav::modMain {

std::string Base64Encode(platform::Platform& platform, std::string_view text) {
  const codec::clsBase64 base64(platform);
  return base64.Encode64(text);
}

std::string Base64Decode(platform::Platform& platform, std::string_view base64) {
  const codec::clsBase64 codec(platform);
  return codec.Decode64(base64);
}

}  // namespace dav::modMain
