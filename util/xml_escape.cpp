#include "util/xml_escape.h"

#include "util/log.h"
#include "util/procedure.h"

namespace dav::util {

namespace {

std::string Escape(std::string_view text, bool apostrophe) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '\'':
        out += apostrophe ? "&#39;" : "'";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string EscapeAttributeValue(std::string_view text) {
  return Escape(text, false);
}

std::string EscapeHtml(std::string_view text) {
  return Escape(text, true);
}

std::string EscapeReportingTo(Log& log, std::string_view source, std::string_view text) {
  constexpr int kLine = 10;  // the one step of the procedure
  try {
    return EscapeAttributeValue(text);
  } catch (...) {
    const Failure f = CurrentFailure();
    log.ReportError(source, f.number, "Line : " + std::to_string(kLine) + ", " + f.description,
                    false);
    return {};
  }
}

}  // namespace dav::util
