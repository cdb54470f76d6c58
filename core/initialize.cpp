// IClientComponent_Initialize: keeps the host's object and derives from what the host
// reports where the component's stores, folders and keys are. Every step carries its line
// number; a failing step is written to the debug log as "에러라인 -> <line> , <description>"
// and the next step runs, so initialisation never fails towards the host.
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "core/component.h"
#include "platform/shell.h"
#include "registry/md_registry.h"
#include "util/mod_main.h"

namespace dav::core {
namespace {

constexpr std::string_view kComponentKeySuffix = "\\Components\\DavIrizevez.CCDavIrizevez";

// Blanks at either end removed (tabs and other white space stay, as the run-time's Trim
// leaves them).
std::string TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace

void CCDavIrizevez::IClientComponent_Initialize(std::shared_ptr<HostApplication> app,
                                                bool debugMode) {
  util::Procedure proc(log_, "CCDavIrizevez", "IClientComponent_Initialize",
                       util::Procedure::Logging::FailuresOnly);
  const auto onFailure = [this, &proc](int, const util::Failure& failure) {
    log_.Debug("에러라인 -> " + std::to_string(proc.line()) + " , " + failure.description);
  };
  const auto step = [&](int line, const std::function<void()>& body) {
    proc.Step(line, body, onFailure);
  };

  step(20, [&] { log_.Debug("스타트"); });
  step(30, [&] { host_ = HostObject(std::move(app)); });
  step(40, [&] { state_.debugMode = debugMode; });
  step(50, [&] {
    state_.displayCatalogue =
        std::make_unique<clsAvailableInfo>(platform_.display(), platform_.clock());
  });
  step(60, [&] { state_.browserName = "Microsoft Internet Explorer"; });

  step(80, [&] {
    fields_.userStartFolder = modMain::GetSpecialFolderPath(log_, platform::kCsidlStartup);
  });
  step(90, [&] { state_.isWinNT = modMain::UF_IsWinNT(log_); });
  step(100, [&] {
    if (state_.isWinNT) {
      fields_.commonStartFolder =
          modMain::GetSpecialFolderPath(log_, platform::kCsidlCommonStartup);
    }
  });

  step(110, [&] {
    fields_.startBackupFolder =
        host_.GetClientFolder() + "\\Components\\StartProgramManager\\SPBackup";
  });
  step(120, [&] { fields_.hostRegistryKey = host_.GetClientRegistryKey(); });
  step(130, [&] {
    fields_.spmStoreKey =
        fields_.hostRegistryKey + std::string(kComponentKeySuffix) + "\\SPManager";
  });
  step(140, [&] { fields_.startListKey = fields_.spmStoreKey + "\\SPMRegStart"; });
  step(150, [&] { fields_.offListKey = fields_.spmStoreKey + "\\SPMRegDelete"; });
  step(160, [&] { fields_.startFolderKey = fields_.spmStoreKey + "\\SPMFolder"; });

  // The start-up folders' set: "desktop.ini" is never a start program.
  std::vector<std::string> startExclusions;
  step(170, [&] { startExclusions.clear(); });
  step(180, [&] { startExclusions.push_back("desktop.ini"); });
  step(190, [&] {
    desktopIcons_.SetIconFolders(fields_.userStartFolder, fields_.commonStartFolder,
                                 fields_.startBackupFolder, startExclusions, desktop::kModeStartup);
  });
  step(200, [&] { SyncReg(true); });

  step(210, [&] {
    fields_.diStoreKey =
        host_.GetClientRegistryKey() + std::string(kComponentKeySuffix) + "\\DIManager";
  });
  step(220, [&] {
    fields_.userDesktopFolder =
        TrimBlanks(modMain::GetSpecialFolderPath(log_, platform::kCsidlDesktopDirectory));
  });
  step(230, [&] {
    if (state_.isWinNT) {
      fields_.commonDesktopFolder =
          TrimBlanks(modMain::GetSpecialFolderPath(log_, platform::kCsidlCommonDesktopDirectory));
    }
  });
  step(240, [&] {
    fields_.desktopBackupFolder = host_.GetClientFolder() + "\\Components\\DavIrizevez\\DIBackup";
  });

  step(250, [&] {
    desktopIcons_.SetIconFolders(fields_.userDesktopFolder, fields_.commonDesktopFolder,
                                 fields_.desktopBackupFolder, desktopIcons_.LoadFilteringList(),
                                 desktop::kModeDesktop);
  });
  step(260, [&] {
    if (desktopIcons_.EnableAutoRecover()) {
      proc.Line(270);
      desktopIcons_.RecoverDesktopIcon();
    }
  });

  step(290, [&] {
    state_.componentKey = host_.GetClientRegistryKey() + std::string(kComponentKeySuffix);
  });
  step(300, [&] {
    mdRegistry registry(log_);
    if (registry.ReadValue("HKEY_LOCAL_MACHINE\\" + state_.componentKey, "EnableAutoDocumentURL",
                           "0") == "1") {
      proc.Line(310);
      host_.PostNotice("DavIrizevez", "APL_DOCURL", 1);
    }
  });

  step(330, [&] { ConvertStartProgramList(); });
  step(340, [&] { PublishResolutionList(); });
  step(350, [&] { RebootSettings(); });
  // 360: the start exclusion list of 170 goes with this scope.
}

}  // namespace dav::core
