// doc new --kind legacy: the legacy settings document (DavIrizevez.qsf) of a fresh PC or of
// the machine. The component produces no legacy document, so it is put together here: the
// start menu, start program, desktop icon, display mode and browser parts from the window
// document the component produced on the same PC (no window title there is the browser's
// name here, which keeps the title removed), and every other row of the row catalogue with
// the value the caller gives: by default the value that locks nothing down. A fresh PC's
// FolderSet section holds no folder rows: a folder row moves a special folder, and the
// document leaves the folders where the PC keeps them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "catalogue/row_catalogue.h"

namespace dav::host {

// A row's value in the document, given its section and the fresh PC's value ("" leaves the
// row out).
using LegacyRowValue = std::function<std::string(
    std::string_view section, const catalogue::RowSpec& row, const std::string& fresh)>;

// The legacy document built from the window document text (the reply of REQ_WINCONF), with
// the same XML declaration, the rows of the catalogue with the values rowValue gives (by
// default the fresh PC's), and the Windows XP applets (CPLList) of the system document text
// when one is given; a CommandError when a document does not load.
std::string LegacyDocumentFrom(const std::string& windowDocument,
                               const LegacyRowValue& rowValue = {},
                               const std::string& systemDocument = {});

}  // namespace dav::host
