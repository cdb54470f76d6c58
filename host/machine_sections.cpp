#include "host/machine_sections.h"

#include <cstdio>

#include "catalogue/access.h"
#include "catalogue/control_panel.h"
#include "catalogue/section_context.h"
#include "catalogue/start_menu.h"
#include "catalogue/window_skill.h"
#include "display/cls_available_info.h"
#include "registry/md_registry.h"
#include "registry/md_spm.h"
#include "util/mod_main.h"

namespace dav::host {
namespace {

// The kept reboot-time mode "1280 x 1024*32*60"; false when there is none or it names no
// mode.
bool KeptDisplayMode(const std::string& text, catalogue::DisplayMode& mode) {
  int width = 0, height = 0, bits = 0, refresh = 0;
  char end = 0;
  if (std::sscanf(text.c_str(), "%d x %d*%d*%d%c", &width, &height, &bits, &refresh, &end) != 4) {
    return false;
  }
  mode = {width, height, static_cast<std::int16_t>(bits), refresh};
  return true;
}

}  // namespace

MachineSections ReadMachineSections(util::Log& log, const ClientSettings& settings) {
  platform::Platform& pc = log.platform();
  mdRegistry registry(log);
  mdSPM spm(log);
  catalogue::SectionRequests requests;
  MachineSections sections;
  sections.winXP = settings.specVersion == "2.5.1";
  sections.win7 = settings.specVersion == "2.6.1";
  const auto currentMode = [&] {
    catalogue::DisplayMode mode;
    if (KeptDisplayMode(registry.ReadString(platform::kHKeyLocalMachine, catalogue::kClientKey,
                                            "DisplayList", ""),
                        mode)) {
      return mode;
    }
    clsAvailableInfo display(pc.display(), pc.clock());
    std::int16_t refresh = 0;
    display.GetInitScreenInfo(mode.width, mode.height, mode.colorBits, refresh);
    mode.refresh = refresh;
    return mode;
  };
  catalogue::SectionContext ctx{
      log,      registry,   spm, sections.winXP, sections.win7, modMain::UF_IsWinNT(log),
      requests, currentMode};
  sections.system = modDavIrizevez::XMLStringControlPanel(ctx) +
                    modDavIrizevez::XMLStringUsedAccess(ctx) +
                    modDavIrizevez::XMLStringFolderAccess(ctx);
  sections.startMenu = modDavIrizevez::XMLStringStartMenu(ctx);
  sections.windowSkill = modDavIrizevez::XMLStringWinSkill(ctx);
  return sections;
}

}  // namespace dav::host
