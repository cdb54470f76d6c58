// The ControlMngr section: which control panel applets a user may open, and whether the
// control panel opens at all.
//
// The system document holds two forms of it, <WinXP> (the XP applets, hidden through the
// "don't load" lists) and <Win7> (the Windows 7 applets, hidden through the policy list
// "DisallowCpl" or by removing their control panel name-space key), each with its
// NoControlPanel row. The legacy document holds the XP applets directly in the section.
#pragma once

#include <string>

#include "catalogue/section_context.h"
#include "xml/document.h"

namespace dav::modDavIrizevez {

// The system document's section: the WinXP form followed by the Win7 form. Only the form of
// the context's generation is read from the registry; the other form lists every applet as
// usable ("1"), and with neither generation the applets' Values are empty.
std::string XMLStringControlPanel(catalogue::SectionContext& ctx);
// "<ControlMngr><WinXP>" through "</WinXP>".
std::string XMLStringControlPanel_WinXP(catalogue::SectionContext& ctx);
// "<Win7>" through "</Win7></ControlMngr>".
std::string XMLStringControlPanel_Win7(catalogue::SectionContext& ctx);

// Applies the CPLList elements of the context's generation (the caller selects the form),
// then the NoControlPanel rows. Ends at the first failing element or row; what came before
// stays applied.
void GetXMLControlPanel(catalogue::SectionContext& ctx, const xml::NodeList& applets,
                        const xml::NodeList& rows);

// Switches on the two Windows 7 policies the applet list relies on: the DisallowCpl list is
// used, and the control panel itself may open. Called by GetXMLControlPanel.
void SetRegitry(catalogue::SectionContext& ctx);

// Applies the legacy document's section (XP applets and the NoControlPanel row) whatever the
// generation. A failure goes to the error reporter and so reaches the caller.
void GetXMLControlMngr(catalogue::SectionContext& ctx, const xml::NodeList& applets,
                       const xml::NodeList& rows);

}  // namespace dav::modDavIrizevez
