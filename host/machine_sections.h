// The PC's settings as the component's section producers write them, read without the
// component's lifecycle (no start, no synchronising of the start lists, no auto recover), so
// that reading changes nothing on the PC.
#pragma once

#include <string>

#include "host/client_settings.h"
#include "util/log.h"

namespace dav::host {

struct MachineSections {
  bool winXP = false;  // the generation the client's version text names
  bool win7 = false;
  std::string startMenu;    // StartMenu
  std::string windowSkill;  // WinSkill, ExplorerConfig, FileOpt
  std::string system;       // ControlMngr, UsedAccess, FolderAccess
};

// The document's DisplayList is read as the mode every start sets: the mode the component
// keeps for that, else the mode in use.
MachineSections ReadMachineSections(util::Log& log, const ClientSettings& settings);

}  // namespace dav::host
