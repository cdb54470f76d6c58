// A configuration document file of this computer as the text a host passes in a protocol:
// its bytes decoded by the encoding its declaration names (or its byte order mark).
#pragma once

#include <string>

namespace dav::host {

// The file's text in UTF-8. A missing or unreadable file, undecodable bytes, or a build
// without the document layer is a CommandError.
std::string ReadDocumentText(const std::string& hostPath);

}  // namespace dav::host
