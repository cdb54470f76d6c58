#include "editors/form_procedure.h"
#include "platform/utf8_sequence.h"

namespace dav::editors {

std::string LeftChars(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < count && at < text.size(); ++n) {
    at += platform::ReadUtf8Sequence(text.substr(at)).length;
  }
  return std::string(text.substr(0, at));
}

std::size_t CharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) {
    at += platform::ReadUtf8Sequence(text.substr(at)).length;
  }
  return count;
}

}  // namespace dav::editors
