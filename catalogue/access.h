// The UsedAccess and FolderAccess sections of the system document.
//
// UsedAccess: which system tools the user may use (command prompt, registry editor, task
// manager, the My Computer properties, folder options, drives, the display pages), kept as
// policy values. Applying it also marks the blocked tools' windows for closing.
//
// FolderAccess: the folder protection settings and the protected paths, kept Base64-encoded
// in "qrlSysConfig.ini" in the component folder, for the folder protection that enforces
// them: section "setting" (key "0" blocks the listed folders, key "1" their sub-folders as
// well) and section "value" (one path per key "0", "1", "2", ...).
#pragma once

#include <string>

#include "catalogue/section_context.h"
#include "xml/document.h"

namespace dav::modDavIrizevez {

inline constexpr const char* kFolderAccessFileName = "qrlSysConfig.ini";

std::string XMLStringUsedAccess(catalogue::SectionContext& ctx);

// Applies the rows in document order and ends at the first failing one; the rows before it
// stay applied. The flag rows (CmdPrompt, RegEdition, TaskManager, NoPropertiesMyComputer,
// ClassicViewState) take "1" as on and any other number as off; a Value that is no number
// is refused. NoViewOnDrive and NoDrives say which of the two drive policies the following
// DriveSettings row writes.
void GetXMLUsedAccess(catalogue::SectionContext& ctx, const xml::NodeList& rows);

std::string XMLStringFolderAccess(catalogue::SectionContext& ctx);

// Stores the rows in the folder access file. A Path row replaces every stored path.
void GetXMLFolderAccess(catalogue::SectionContext& ctx, const xml::NodeList& rows);

}  // namespace dav::modDavIrizevez
