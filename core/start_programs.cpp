// Keeping the start program store and the Run keys in step: at every start, before a window
// document is produced, at termination, and once per installation when an older list is
// converted.
#include <vector>

#include "core/component.h"
#include "listdoc/md_type_define.h"
#include "registry/md_spm.h"
#include "registry/opened_key.h"
#include "util/report_failure.h"
#include "util/run_time_error.h"

namespace dav::core {

using platform::kHKeyLocalMachine;

startup::StartProgramManager CCDavIrizevez::StartPrograms() {
  return startup::StartProgramManager(
      log_, {fields_.spmStoreKey, fields_.startListKey, fields_.offListKey, fields_.startFolderKey},
      state_.isWinNT);
}

void CCDavIrizevez::SyncReg(bool applyFolders) {
  util::Procedure proc(log_, "CCDavIrizevez", "SyncReg");
  try {
    startup::StartProgramManager spm = StartPrograms();
    mdSPM registry(log_);
    proc.Line(30);
    bool created = false;
    proc.Line(40);
    if (!OpenedKey(platform_.registry(),
                   registry.GetRegHKey(kHKeyLocalMachine, fields_.spmStoreKey))) {
      proc.Line(50);
      spm.CreateSPMKey();
      proc.Line(60);
      spm.EnableOpt(false);
      proc.Line(70);
      created = true;
    }
    proc.Line(90);
    if (spm.EnableOpt()) {
      proc.Line(100);
      spm.EditStartReg();
      if (applyFolders) {
        // The start-up folders go back to the approved icons the backup holds.
        proc.Line(120);
        desktop::IconList approved;
        proc.Line(130);
        desktopIcons_.GetList(approved, true, desktop::kModeStartup);
        proc.Line(140);
        desktopIcons_.Apply(approved, true, desktop::kModeStartup);
      }
    } else {
      proc.Line(170);
      spm.RefreshSPMStore();
      if (created) {
        proc.Line(190);
        spm.EnableOpt(false);
      }
    }
  } catch (...) {
    proc.LogFailure();
  }
}

void CCDavIrizevez::RequireStores(std::string_view source) const {
  if (fields_.spmStoreKey.empty() || fields_.diStoreKey.empty()) {
    throw util::RunTimeError(util::kErrInvalidCall, std::string(source),
                             "the component is not initialised");
  }
}

bool CCDavIrizevez::EnableOpt() {
  RequireStores("CCDavIrizevez.EnableOpt [PropertyGet]");
  return StartPrograms().EnableOpt();
}

bool CCDavIrizevez::EnableAutoRecover() {
  RequireStores("CCDavIrizevez.EnableAutoRecover");
  return desktopIcons_.EnableAutoRecover();
}

void CCDavIrizevez::EnableAutoRecover(bool on) {
  RequireStores("CCDavIrizevez.EnableAutoRecover");
  desktopIcons_.EnableAutoRecover(on);
}

void CCDavIrizevez::RecoverDesktopIcon() {
  RequireStores("CCDavIrizevez.RecoverDesktopIcon");
  desktopIcons_.RecoverDesktopIcon();
}

void CCDavIrizevez::EnableOpt(bool on) {
  RequireStores("CCDavIrizevez.EnableOpt [PropertyLet]");
  startup::StartProgramManager spm = StartPrograms();
  if (on && !spm.EnableOpt()) {
    // While protection is off every start-up item counts as approved, but the backup that
    // enforcement reads may never have been written: without this record the next
    // enforcement would delete every item, with no copy anywhere.
    util::ReportingFailures(log_, "CCDavIrizevez.EnableOpt [PropertyLet]", [&] {
      if (!desktopIcons_.BackUpPresent(desktop::kModeStartup)) {
        throw util::RunTimeError(util::kErrPathFileAccess, {},
                                 "the start-up items could not all be copied into the start "
                                 "backup; protection stays off");
      }
    });
  }
  spm.EnableOpt(on);
}

std::vector<mdTypeDefine::UType_DIData> CCDavIrizevez::ListFolder() {
  return util::ReportingFailures(log_, "CCDavIrizevez.ListFolder [PropertyGet]", [&] {
    desktop::IconList icons;
    desktopIcons_.GetList(icons, StartPrograms().EnableOpt(), desktop::kModeStartup);
    return icons;
  });
}

void CCDavIrizevez::ListFolder(const std::vector<mdTypeDefine::UType_DIData>& icons) {
  util::ReportingFailures(log_, "CCDavIrizevez.ListFolder [PropertyLet]", [&] {
    desktopIcons_.Apply(icons, StartPrograms().EnableOpt(), desktop::kModeStartup);
  });
}

void CCDavIrizevez::ConvertStartProgramList() {
  mdSPM registry(log_);
  if (registry.GetRegValueDefault(kHKeyLocalMachine, fields_.hostRegistryKey, "isSPListEx", "0") !=
      "0") {
    return;
  }
  SyncReg(false);
  startup::StartProgramManager spm = StartPrograms();
  const bool enabled = spm.EnableOpt();
  const std::string document =
      mdTypeDefine::XMLDocument("1.0.0", mdTypeDefine::XMLStringSPMList(log_, enabled, spm.List()));
  bool isProtected = false;
  std::vector<mdTypeDefine::UType_SPMData> list;
  mdTypeDefine::ParseSPMList(log_, document, &isProtected, &list);
  spm.EnableOpt(isProtected);
  spm.List(list);
  spm.EditStartReg();
  std::string converted = "1";
  registry.SetRegValue(kHKeyLocalMachine, fields_.hostRegistryKey, "isSPListEx", platform::kRegSz,
                       converted);
}

}  // namespace dav::core
