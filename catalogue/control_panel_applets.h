// The control panel applets that the ControlMngr section lists, in the order the section
// lists them: the Windows XP applets (named by their file) and the Windows 7 applets
// (named by their canonical name or by their class identifier).
#pragma once

#include <span>
#include <string_view>

namespace dav::catalogue {

// The file name that stands for the administrative tools folder, which is no file but a
// control panel name-space key.
inline constexpr std::string_view kAdminToolsApplet = "관리도구.cpl";

struct XPApplet {
  std::string_view displayName;
  std::string_view id;
};

struct Win7Applet {
  std::string_view displayName;
  std::string_view id;
  // True: hidden through the policy list "DisallowCpl" by its name. False: hidden by
  // removing its control panel name-space key (the id is a class identifier).
  bool disallowList;
};

std::span<const XPApplet> XPApplets();
std::span<const Win7Applet> Win7Applets();

}  // namespace dav::catalogue
