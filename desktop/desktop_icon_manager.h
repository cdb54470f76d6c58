// The desktop icon manager: the desktop list is the special icons (k of them) followed by the
// icon files of the desktop folders; it is produced from the PC, applied to it, and with
// auto recover re-applied at every start, so that a user's changes to the desktop do not
// outlive a restart. The folder machinery of both modes (desktop and start-up folders) is
// part of it.
//
// These are CCDavIrizevez's methods in the log: failures are reported under
// "CCDavIrizevez.<name>".
#pragma once

#include <string>

#include "desktop/icon_folders.h"
#include "desktop/special_icons.h"
#include "util/log.h"

namespace dav::desktop {

class DesktopIconManager : public IconFolders, public SpecialIcons {
 public:
  // diStoreKey is the desktop icon store below HKEY_LOCAL_MACHINE, read when used.
  DesktopIconManager(util::Log& log, const std::string& diStoreKey);

  // The special icons, then GetList of the mode.
  void GetDesktopIconList(IconList& list, bool isProtected, int mode);

  // Sets auto recover to the protected flag; a list that holds the k special icons sets
  // them, and a list longer than that applies its icon files (entries k to the end).
  void ApplyDesktopIconList(bool isProtected, const IconList& list, int mode);

  // Re-applies the desktop as it is, with protection: approved icons that were deleted come
  // back from the backup, icons that were added go.
  void RecoverDesktopIcon();

  // The store's "EnableAutoRecover": true exactly when it reads "1"; written as a DWORD.
  bool EnableAutoRecover();
  void EnableAutoRecover(bool enable);

 private:
  util::Log& log_;
  const std::string& diStoreKey_;
};

}  // namespace dav::desktop
