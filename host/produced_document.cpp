#include "host/produced_document.h"

#include "host/command_error.h"
#include "host/host_files.h"
#include "host/status_text.h"
#if DAV_HAS_DOCUMENTS
#include "xml/encoding.h"
#endif

namespace dav::host {
namespace {

constexpr const char* kMakeQsfFile = "WinSetInitial.qsf";

// The document of a reply "DavIrizevez" TAB code TAB document.
std::string ReplyDocument(const std::string& reply) {
  const std::size_t first = reply.find('\t');
  const std::size_t second = first == std::string::npos ? first : reply.find('\t', first + 1);
  if (second == std::string::npos) throw CommandError("the reply holds no document: " + reply);
  return reply.substr(second + 1);
}

void Write(const std::string& hostFile, const std::string& bytes) {
  std::string error;
  if (!WriteHostFile(hostFile, bytes, &error)) throw CommandError(error);
}

}  // namespace

bool ProducesDocument(const std::string& cmd) {
  return cmd == "REQ_SYSCONF" || cmd == "REQ_WINCONF" || cmd == "REQ_SYSCONF_SAVE" ||
         cmd == "REQ_WINCONF_SAVE" || cmd == "MAKE_QSF";
}

std::string SaveProducedDocument(platform::Platform& platform, const std::string& componentFolder,
                                 const std::string& cmd, const std::vector<std::string>& replies,
                                 const std::string& hostFile) {
#if DAV_HAS_DOCUMENTS
  if (cmd == "MAKE_QSF") {
    // The component saved it in the document's own encoding already.
    const std::string path = componentFolder + "\\" + kMakeQsfFile;
    std::string bytes;
    if (const platform::Status status = platform.files().ReadAll(path, &bytes);
        status != platform::kErrorSuccess) {
      throw CommandError("MAKE_QSF saved no document ('" + path + "': " + StatusText(status) + ")");
    }
    Write(hostFile, bytes);
    const std::string declared = xml::DeclaredEncoding(bytes);
    return declared.empty() ? "UTF-8" : declared;
  }
  if (replies.empty()) throw CommandError(cmd + " sent no reply, so there is no document to save");
  const std::string document = ReplyDocument(replies.back());
  const std::string declared = xml::DeclaredEncoding(document);
  const auto codePage =
      declared.empty() ? std::optional<std::uint32_t>(65001) : xml::CodePageOfEncoding(declared);
  std::string bytes;
  if (!codePage || !xml::EncodeDocumentText(*codePage, document, &bytes)) {
    throw CommandError("the document declares the encoding '" + declared +
                       "', which this computer cannot write");
  }
  Write(hostFile, bytes);
  return declared.empty() ? "UTF-8" : declared;
#else
  (void)platform, (void)componentFolder, (void)cmd, (void)replies, (void)hostFile;
  throw CommandError("this build has no document layer to save the document with");
#endif
}

}  // namespace dav::host
