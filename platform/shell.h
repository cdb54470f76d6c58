// The Windows shell: special folders by CSIDL number and change notification.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace dav::platform {

// CSIDL numbers used by the component or known to the simulated PC.
inline constexpr int kCsidlDesktop = 0x00;
inline constexpr int kCsidlInternet = 0x01;  // Internet Explorer
inline constexpr int kCsidlPrograms = 0x02;
inline constexpr int kCsidlControls = 0x03;
inline constexpr int kCsidlPrinters = 0x04;
inline constexpr int kCsidlPersonal = 0x05;  // My Documents
inline constexpr int kCsidlFavorites = 0x06;
inline constexpr int kCsidlStartup = 0x07;
inline constexpr int kCsidlRecent = 0x08;
inline constexpr int kCsidlBitBucket = 0x0a;  // Recycle Bin
inline constexpr int kCsidlStartMenu = 0x0b;
inline constexpr int kCsidlDesktopDirectory = 0x10;
inline constexpr int kCsidlDrives = 0x11;   // My Computer
inline constexpr int kCsidlNetwork = 0x12;  // My Network Places
inline constexpr int kCsidlFonts = 0x14;
inline constexpr int kCsidlCommonStartMenu = 0x16;
inline constexpr int kCsidlCommonPrograms = 0x17;
inline constexpr int kCsidlCommonStartup = 0x18;
inline constexpr int kCsidlCommonDesktopDirectory = 0x19;
inline constexpr int kCsidlAppData = 0x1a;
inline constexpr int kCsidlLocalAppData = 0x1c;
inline constexpr int kCsidlCommonAppData = 0x23;
inline constexpr int kCsidlWindows = 0x24;
inline constexpr int kCsidlSystem = 0x25;
inline constexpr int kCsidlProgramFiles = 0x26;

// SHChangeNotify event of a changed file association; the component sends it so that the
// shell redraws the desktop.
inline constexpr std::int32_t kShcneAssocChanged = 0x08000000;

class Shell {
 public:
  virtual ~Shell() = default;

  // SHGetSpecialFolderLocation + SHGetPathFromIDListA. An unknown folder number gives
  // kErrorInvalidParameter; a virtual folder (My Computer, the Recycle Bin ...) succeeds
  // with an empty path, as SHGetPathFromIDListA has none to give.
  virtual Status SpecialFolderPath(int csidl, std::string* path) = 0;

  // The desktop folder's GetDisplayNameOf (SHGDN_INFOLDER) for a special folder, in the
  // user's language ("내 컴퓨터" on a Korean machine).
  virtual Status SpecialFolderDisplayName(int csidl, std::string* name) = 0;

  // The desktop folder's ParseDisplayName of a parsing name such as
  // "::{450d8fba-ad25-11d0-98a8-0800361b1103}", then its display name as above.
  virtual Status ParsingNameDisplayName(std::string_view parsingName, std::string* name) = 0;

  // SHChangeNotify without items.
  virtual void ChangeNotify(std::int32_t eventId, std::uint32_t flags) = 0;
};

}  // namespace dav::platform
