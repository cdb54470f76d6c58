// Approving what a PC holds today: the window document that marks today's desktop icons, or
// today's Run entries and start-up items, approved with protection on, and the record of
// that approval made on the PC before the component starts.
//
// Every start of the component enforces the approval already recorded (auto recover deletes
// the desktop icons without a backup copy, start program protection switches off the Run
// entries its start list lacks), so the approving document cannot be produced or applied by
// the component alone: its start would undo today's items first. The state is therefore read
// without the lifecycle, and the approval is recorded with the calls the apply's list steps
// make (the icon apply fills the backup folder, the start program records fill the start
// list) before the component starts to apply the document.
#pragma once

#include <string>
#include <vector>

#include "desktop/icon_folders.h"
#include "host/client_settings.h"
#include "listdoc/md_type_define.h"
#include "platform/platform.h"

namespace dav::host {

enum class ApprovalKind { kDesktop, kStartup };

// An item approved now that was not before.
struct ApprovedItem {
  std::string where;  // "user desktop", "all users desktop", "HKEY_CURRENT_USER_RUN", ...
  std::string name;
};

struct Approval {
  ApprovalKind kind = ApprovalKind::kDesktop;
  std::vector<ApprovedItem> approved;
  std::string document;  // the whole window document to apply
  // What the record step applies: the desktop list (special icons first), the start
  // program records, the start-up items.
  desktop::IconList desktopIcons;
  std::vector<mdTypeDefine::UType_SPMData> startRecords;
  desktop::IconList startupItems;
  bool startProtection = false;  // start program protection was on before
};

// Reads the PC and decides. names limits the approval to those items (the others keep the
// approval they have; while protection is off every present item counts as approved);
// allUsers takes the all-users desktop in too. A name the PC does not hold is a
// CommandError, before anything is changed.
Approval PlanApproval(platform::Platform& pc, const ClientSettings& settings, ApprovalKind kind,
                      const std::vector<std::string>& names, bool allUsers);

// Records the approval on the PC without starting the component. A newly approved item
// that the backup could take but did not is a CommandError: the next start would delete it.
void RecordApproval(platform::Platform& pc, const ClientSettings& settings,
                    const Approval& approval);

}  // namespace dav::host
