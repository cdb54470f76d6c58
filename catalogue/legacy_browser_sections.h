// The last sections of the legacy settings document, which the component only applies:
//  - IExConfig: the browser's window title and download folder, and whether its toolbars
//    may be customised;
//  - InternetOption: which parts of the browser's options dialog are locked;
//  - FileOrder: recently-used lists to clear now, and a clean-up choice kept in the client
//    key.
// A failure goes to the error reporter, which raises it again for the procedure applying
// the whole document; rows before it stay applied.
#pragma once

#include <string_view>

#include "catalogue/section_context.h"
#include "xml/document.h"

namespace dav::modDavIrizevez {

// The browser's own name: an ExConfig TitleBar of this text removes the window title.
inline constexpr std::string_view kBrowserName = "Microsoft Internet Explorer";

// The NoToolUse rows first, then each ExConfig element: its TitleBar becomes the browser's
// window title, unless it is the browser's own name, which removes the title; its DownFolder
// becomes the download folder.
void GetXMLIExConfig(catalogue::SectionContext& ctx, const xml::NodeList& rows,
                     const xml::NodeList& exConfigs);

// The General, Preservation and Link rows, in that order; each Value, a number, locks (or
// frees) its part of the options dialog.
void GetXMLInternetOption(catalogue::SectionContext& ctx, const xml::NodeList& generalRows,
                          const xml::NodeList& preservationRows, const xml::NodeList& linkRows);

// A DelList row clears the recently-used lists whose position holds "1" (1 and 2: the media
// player's files and addresses, 3 and 4: the RealPlayer clips, 5: Paint, 6: WordPad), in
// the current user's and the machine's registry; the first DelList Value is kept as the
// client value "DelList", written after the rows (empty when there was none). A
// RebootAutoDel row is kept as the client value of that name. An empty list does nothing.
void GetXMLFileOrder(catalogue::SectionContext& ctx, const xml::NodeList& rows);

// Deletes the sub-keys "MostRecentClips1" to "MostRecentClips8" of the RealPlayer's
// preferences, each first for the current user, then for the machine.
void ClearRealPlayerRecentClips(catalogue::SectionContext& ctx);

}  // namespace dav::modDavIrizevez
