// Sections of the legacy settings document that the component only applies:
//  - DiskMngr: hidden and locked drives, autorun, mapping network drives;
//  - DisplayControl: which pages of the display control panel may be used;
//  - NPConfig: the network neighbourhood icon, adding and deleting printers;
//  - Appwiz: which installed programs the Add/Remove Programs list shows, and which of its
//    pages may be used.
// A failure goes to the error reporter, which raises it again for the procedure applying
// the whole document; rows before it stay applied.
#pragma once

#include "catalogue/section_context.h"
#include "xml/document.h"

namespace dav::modDavIrizevez {

// HideDrive and NoAdmissionDrive say which of the two drive policies the following
// DriveSettings row (a drive text, A: first) writes; both start off at every call.
void GetXMLDiskMngr(catalogue::SectionContext& ctx, const xml::NodeList& rows);

// Each row's Value, a number, becomes its page policy for the current user and the machine.
void GetXMLDisplayControl(catalogue::SectionContext& ctx, const xml::NodeList& rows);

void GetXMLNPConfig(catalogue::SectionContext& ctx, const xml::NodeList& rows);

// Each AppList element shows (Value 1) or hides its program, the sub-key named by its ID
// below the UnInstall key; an ID that names no single sub-key there is logged and skipped.
// Then the NoRemovePage, NoAddPage and NoWindowsSetupPage rows: 1 locks the page, any other
// number frees it, for the current user and the machine.
void GetXMLAppwiz(catalogue::SectionContext& ctx, const xml::NodeList& appLists,
                  const xml::NodeList& rows);

}  // namespace dav::modDavIrizevez
