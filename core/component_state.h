// The state that every part of the component shares for the life of a component: which
// Windows generation the documents are written for, the Windows family, and (as the
// subsystems that set and read them join) the requests that applying one document leaves
// for the commands that follow. Each CCDavIrizevez owns one and passes it by reference, so
// two components in one process never see each other's state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "catalogue/section_context.h"
#include "display/cls_available_info.h"

namespace dav::core {

struct ComponentState {
  // True on the Windows NT family (UF_IsWinNT at Initialize).
  bool isWinNT = false;

  // The bDebugMode argument of Initialize; kept, changes no behaviour.
  bool debugMode = false;

  // The browser whose settings the documents name.
  std::string browserName;

  // Which form of the document sections applies: "WinXP" or "Win7" rows, or neither. Set
  // once from the host's version text by SetOSVersion.
  bool winXP = false;
  bool win7 = false;

  // The host's version text; empty until SetOSVersion has fetched it.
  std::string specVersion;

  // The host registry key + "\Components\DavIrizevez.CCDavIrizevez", below
  // HKEY_LOCAL_MACHINE.
  std::string componentKey;

  // The display mode catalogue, created at Initialize and released at Terminate.
  std::unique_ptr<clsAvailableInfo> displayCatalogue;

  // What applying a document leaves for the commands that follow: the display request, the
  // clean-up requests ("1" means asked for) and the window-closing flags.
  catalogue::SectionRequests requests;

  // Told by the section appliers which row they apply (a host's change report); none
  // unless the host sets one.
  catalogue::RowObserver* rowObserver = nullptr;

  // The editors' closing choice: 2 closed, 6 restart the shell now, 7 at the next reboot.
  std::int32_t editorClosingChoice = 0;

  // The start program lists live in the registry store and are read for each use (see
  // startup/); the special icon count at the head of the desktop icon list is kept by the
  // desktop icon manager, which sets it at Initialize.
};

}  // namespace dav::core
