// doc new --kind legacy: the legacy settings document (DavIrizevez.qsf) of a fresh PC. The
// component produces no legacy document, so it is put together here: the start menu, start
// program, desktop icon, display mode and browser parts from the window document the
// component produced on the same fresh PC, and every other row of the row catalogue with the
// value that locks nothing down. The FolderSet section holds no folder rows: a folder row
// moves a special folder, and the document leaves the folders where the PC keeps them.
#pragma once

#include <string>

namespace dav::host {

// The legacy document built from the window document text (the reply of REQ_WINCONF), with
// the same XML declaration; a CommandError when the window document does not load.
std::string LegacyDocumentFrom(const std::string& windowDocument);

}  // namespace dav::host
