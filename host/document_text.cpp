#include "host/document_text.h"

#include "host/command_error.h"
#include "host/host_files.h"
#if DAV_HAS_DOCUMENTS
#include "xml/encoding.h"
#endif

namespace dav::host {

std::string ReadDocumentText(const std::string& hostPath) {
#if DAV_HAS_DOCUMENTS
  std::string bytes;
  std::string error;
  if (!ReadHostFile(hostPath, &bytes, &error)) throw CommandError(error);
  std::string text;
  if (const auto fault = xml::DecodeDocumentBytes(bytes, &text)) {
    const std::string place = fault->line > 0
                                  ? " (line " + std::to_string(fault->line) + ", position " +
                                        std::to_string(fault->linepos) + ")"
                                  : "";
    throw CommandError("cannot decode the document '" + hostPath + "': " + fault->reason + place);
  }
  return text;
#else
  throw CommandError("cannot read the document '" + hostPath +
                     "': this build has no document layer");
#endif
}

}  // namespace dav::host
