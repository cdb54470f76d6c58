// The state that every part of the component shares for the life of a component: which
// Windows generation the documents are written for, the Windows family, and (as the
// subsystems that set and read them join) the requests that applying one document leaves
// for the commands that follow. Each CCDavIrizevez owns one and passes it by reference, so
// two components in one process never see each other's state.
#pragma once

#include <string>

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

  // Joining with the subsystems that use them:
  //  - the display mode catalogue (clsAvailableInfo), created at Initialize and released
  //    at Terminate, and the display request (width, height, colour bits, refresh rate as
  //    texts) that a document or the window editor leaves for the display change;
  //  - the clean-up requests (garbage, temporary files, temporary folders, history,
  //    documents; "1" means asked for) set by the FileOpt section;
  //  - the window-closing flags (System Properties window, command prompt, registry
  //    editor, task manager) read when restricted windows are closed;
  //  - the editor closing choice (2 closed, 6 restart the shell now, 7 at the next reboot);
  //  - the start program manager's two working lists;
  //  - the special icon count (4 or 5) at the head of the desktop icon list.
};

}  // namespace dav::core
