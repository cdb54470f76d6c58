// The Base64 codec: any text decodes, and any bytes encoded decode back to themselves.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "codec/cls_base64.h"
#include "fuzz/scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const dav::codec::clsBase64 codec(dav::fuzz::ScratchMachine::Get());
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  codec.Decode64(text);
  const std::vector<std::uint8_t> bytes = codec.DecodeArray64(text);
  const std::vector<std::uint8_t> input(data, data + size);
  if (codec.DecodeArray64(codec.EncodeArray64(input)) != input) abort();
  if (codec.DecodeArray64(codec.EncodeArray64(bytes)) != bytes) abort();
  return 0;
}
