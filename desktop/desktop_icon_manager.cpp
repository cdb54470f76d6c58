#include "desktop/desktop_icon_manager.h"

#include "registry/md_registry.h"
#include "util/procedure.h"
#include "util/report_failure.h"

namespace dav::desktop {

DesktopIconManager::DesktopIconManager(util::Log& log, const std::string& diStoreKey)
    : IconFolders(log), SpecialIcons(log, diStoreKey), log_(log), diStoreKey_(diStoreKey) {}

void DesktopIconManager::GetDesktopIconList(IconList& list, bool isProtected, int mode) {
  util::ReportingFailures(log_, "CCDavIrizevez.GetDesktopIconList", [&] {
    IconList collection;
    LoadSpecialIcons(collection, isProtected);
    GetList(collection, isProtected, mode);
    list = std::move(collection);
  });
}

void DesktopIconManager::ApplyDesktopIconList(bool isProtected, const IconList& list, int mode) {
  util::ReportingFailures(log_, "CCDavIrizevez.ApplyDesktopIconList", [&] {
    EnableAutoRecover(isProtected);
    const auto k = static_cast<std::size_t>(SpecialIconCount());
    if (list.size() < k) return;
    for (std::size_t i = 0; i < k; ++i) ShowSpecialIcon(list[i], list[i].diFlag != 0, isProtected);
    if (list.size() > k) {
      Apply(IconList(list.begin() + static_cast<std::ptrdiff_t>(k), list.end()), isProtected, mode);
    }
  });
}

void DesktopIconManager::RecoverDesktopIcon() {
  util::ReportingFailures(log_, "CCDavIrizevez.RecoverDesktopIcon", [&] {
    IconList list;
    GetDesktopIconList(list, true, kModeDesktop);
    ApplyDesktopIconList(true, list, kModeDesktop);
  });
}

bool DesktopIconManager::EnableAutoRecover() {
  return mdRegistry(log_).ReadValue("HKEY_LOCAL_MACHINE\\" + diStoreKey_, "EnableAutoRecover",
                                    "") == "1";
}

void DesktopIconManager::EnableAutoRecover(bool enable) {
  mdRegistry(log_).WriteValue("HKEY_LOCAL_MACHINE\\" + diStoreKey_, "EnableAutoRecover",
                              enable ? "1" : "0", 4);
}

}  // namespace dav::desktop
