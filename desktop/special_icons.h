// The special desktop icons: My Computer, My Documents, My Network Places, the Recycle Bin
// and Internet Explorer are shell objects, not files. They are shown and hidden through the
// registry values the shell reads (on the NT family and on Windows 9x), the administrator's
// choice is kept in the desktop icon store while protection is on, and they head the desktop
// icon list under their shell display names. Also the desktop filtering list: the icon files
// the icon machinery must never touch, a replacement Internet Explorer shortcut and the
// advertising URL shortcuts that the client's ini file names.
//
// These are CCDavIrizevez's methods in the log: failures are reported under
// "CCDavIrizevez.<name>".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/icon_folders.h"
#include "listdoc/md_type_define.h"
#include "registry/md_registry.h"
#include "registry/md_spm.h"
#include "util/log.h"

namespace dav::desktop {

// The client ini file, in the Windows system folder.
inline constexpr const char* kClientIniFile = "quorelc.ini";

class SpecialIcons {
 public:
  // diStoreKey is the desktop icon store below HKEY_LOCAL_MACHINE; it is read when used, so
  // it may be set after construction.
  SpecialIcons(util::Log& log, const std::string& diStoreKey);

  // The shell's display name of a special folder (by CSIDL number) within its folder, or with
  // nullopt of the My Documents name space object, when its desktop name space key exists
  // (else the empty text).
  std::string GetSpecialFolderName(std::optional<int> folder);

  // Appends the special icons (k of them) in list order, flagged 1 shown and 0 hidden: the
  // stored choice when protected, else what the shell's values say.
  void LoadSpecialIcons(IconList& list, bool isProtected);

  // Shows or hides the special icon that the entry's name stands for, keeps the choice in the
  // store when protected, and tells the shell. Any other name changes nothing but the shell
  // is told all the same.
  void ShowSpecialIcon(const mdTypeDefine::UType_DIData& entry, bool show, bool isProtected);

  void ShowIEIcon(bool show);
  bool IEIconVisible();

  // "Internet Explorer." + the ini's "qrlieex" when "qrllnk" is "1", else the empty text.
  std::string GetIEShortcutName();

  // The ini's "member0", "member1", ... of section "urlname", each + ".url", up to the first
  // empty one.
  std::vector<std::string> GetQuorelAdURLIcon();

  // The desktop filtering list; sets k to 4 when a replacement shortcut takes the place of
  // the Internet Explorer icon, else 5.
  std::vector<std::string> LoadFilteringList();

  // k: how many special icons head the desktop list.
  std::int16_t SpecialIconCount() const { return specialIconCount_; }

 private:
  bool IsWinNT();
  std::string ClientIniFile();
  std::int16_t StoredChoice(const char* storeValue);
  std::int16_t ShownOnNT(const char* clsid);
  void ShowNameSpaceKey(const char* key, bool show);
  void WriteShellFolderValues(const char* clsid, std::int32_t hidden, std::int32_t attributes);

  util::Log& log_;
  const std::string& diStoreKey_;
  mdRegistry registry_;
  mdSPM spm_;
  std::int16_t specialIconCount_ = 5;
};

}  // namespace dav::desktop
