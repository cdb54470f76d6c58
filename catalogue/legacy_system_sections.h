// The first sections of the legacy settings document (DavIrizevez.qsf), which the component
// only applies:
//  - SysMngr: command prompt, task manager, registry editor, Num Lock at log-on, and whether
//    the host opens the automatic document address;
//  - WindowShell: saving of window settings, file extensions, the classic folder view, My
//    Computer's properties, folder options;
//  - FolderSet: where the user's special folders lie;
//  - DisplayConfig: shortcut arrows, the prefix of new shortcuts' names, the display mode.
//
// GetXMLSysMngr logs its own failure; the others hand it to the error reporter, which
// raises it again for the procedure applying the whole document.
#pragma once

#include <string>

#include "catalogue/section_context.h"
#include "xml/document.h"

namespace dav::modDavIrizevez {

// Clears the command prompt, registry editor and task manager window-closing flags, then
// applies the rows, logging each known one as "<id>=<value>". componentKey is the
// component's key below HKEY_LOCAL_MACHINE, where the Document row is kept as
// "EnableAutoDocumentURL". Ends at the first failing row, logged; earlier rows stay applied.
void GetXMLSysMngr(catalogue::SectionContext& ctx, const xml::NodeList& rows,
                   const std::string& componentKey);

// Applies the rows; a non-empty list first clears the System Properties window-closing flag.
void GetXMLWindowShell(catalogue::SectionContext& ctx, const xml::NodeList& rows);

// Writes each special folder row to the current user's "Shell Folders" and then "User Shell
// Folders"; the program files and Windows set-up folders go to their machine-wide values
// only.
void GetXMLFolderSet(catalogue::SectionContext& ctx, const xml::NodeList& rows);

// Applies the rows and then each DisplayList element: its mode becomes the display request
// and the client value "DisplayList", as the window document's does.
void GetXMLDisplay(catalogue::SectionContext& ctx, const xml::NodeList& rows,
                   const xml::NodeList& displayLists);

// The form of the manager login and log-off: the rows only, the display mode left alone.
void GetXMLDisplay(catalogue::SectionContext& ctx, const xml::NodeList& rows);

}  // namespace dav::modDavIrizevez
