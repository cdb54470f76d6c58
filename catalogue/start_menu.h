// The StartMenu section: which items the Windows start menu shows. Three forms: WinXP (the
// XP start menu), WinOriginal (the classic menu: shell folder shortcuts inserted into the
// start menu folder, items removed by policy) and Win7.
//
// Values are the decimal texts of the registry DWORDs, copied unchanged both ways, so a
// policy value "1" hides its item even where the row's name ends in "View". The producers
// read the registry for the generation in use, give the fixed defaults for the other one,
// and leave every Value empty when neither generation is known.
#pragma once

#include <string>

#include "catalogue/section_context.h"
#include "xml/document.h"

namespace dav::modDavIrizevez {

// The whole section: XMLStringStartMenu_WinXP followed by XMLStringStartMenu_Win7. Empty
// when either half failed (a half section would break the document it goes into).
std::string XMLStringStartMenu(catalogue::SectionContext& ctx);

// "<StartMenu>", the WinXP and WinOriginal forms. Empty on a failure (logged).
std::string XMLStringStartMenu_WinXP(catalogue::SectionContext& ctx);

// The Win7 form and "</StartMenu>". Empty on a failure (logged).
std::string XMLStringStartMenu_Win7(catalogue::SectionContext& ctx);

// Applies the WinXP rows, then the WinOriginal rows. A policy row with Value "0" deletes its
// value; ExecuteMenuView also sets the "NoRun" policy. The four ...Insert rows create or
// remove their shell folder inside the start menu folder. Ends at the first failing row,
// logged; earlier rows stay applied.
void GetXMLStartMenu_WinXP(catalogue::SectionContext& ctx, const xml::NodeList& winXPRows,
                           const xml::NodeList& winOriginalRows);

// Applies the Win7 rows; ends at the first failing row, logged.
void GetXMLStartMenu_Win7(catalogue::SectionContext& ctx, const xml::NodeList& win7Rows);

// The older applier of the legacy document: like GetXMLStartMenu_WinXP, except that policy
// rows write "0" instead of deleting and ExecuteMenuView leaves "NoRun" alone. A failure
// goes to the error reporter and on to the caller.
void GetXMLStartMenu(catalogue::SectionContext& ctx, const xml::NodeList& winXPRows,
                     const xml::NodeList& winOriginalRows);

}  // namespace dav::modDavIrizevez
