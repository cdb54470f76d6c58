// Three sections of the window document, produced together:
//  - WinSkill: the display mode to restore at start-up (DisplayList), Num Lock at log-on,
//    network drive mapping, the network neighbourhood icon, deleting printers;
//  - ExplorerConfig: the browser's window title, its download folder and the locking of its
//    option tabs;
//  - FileOpt: which kinds of files are cleaned up, now and at every start.
// The component keeps its own state for them as text values in the client key.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/section_context.h"
#include "util/procedure.h"
#include "xml/document.h"

namespace dav::modDavIrizevez {

// The WinSkill, ExplorerConfig and FileOpt sections. Empty on a failure (logged), so that a
// half section never reaches a document.
std::string XMLStringWinSkill(catalogue::SectionContext& ctx);

// Applies the WinSkill rows and then, unless called on the manager login path, the last
// DisplayList element: its mode becomes the display request and the client value
// "DisplayList" ("1024 x 768*32*60"). A DisplayList that does not name a mode (no " x ",
// or a part that is no number) ends the applier and changes neither. Ends at the first
// failing row, logged; earlier rows stay applied.
void GetXMLWinSkill(catalogue::SectionContext& ctx, const xml::NodeList& rows,
                    const xml::NodeList& displayLists, bool managerLogin);

// Reads a DisplayList element (DPFirst "800 x 600", ColorQuality "16 bit", Hz "75 Hz") and
// makes its mode the display request and the client value "DisplayList" ("800 x 600*16*75").
// One that does not name a mode (no " x ", a part that is no number) raises a run-time error
// and changes neither; proc marks the step that failed.
void KeepDisplayList(catalogue::SectionContext& ctx, const xml::Node& displayList,
                     util::Procedure& proc);

// Applies the ExplorerConfig rows; titleBar and downFolder are the section element's
// attributes, written when their rows are not "0".
void GetXMLExplorerConfig(catalogue::SectionContext& ctx, const xml::NodeList& rows,
                          std::string_view titleBar, std::string_view downFolder);

// Applies the FileOpt rows: the clean-up requests for now, and the client value
// "RebootWinOpt" (six "0"/"1" characters: garbage, temporary files, temporary folder,
// cookies, history, documents) for every start. Nothing happens for an empty row list.
void GetXMLFileOpt(catalogue::SectionContext& ctx, const xml::NodeList& rows);

}  // namespace dav::modDavIrizevez
