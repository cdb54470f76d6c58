// The Qt views of the three editors, and the folder browser of "찾아보기".
#pragma once

#include <memory>
#include <string>

#include "editors/frm_msg.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "editors/qt/form_view.h"
#include "platform/file_system.h"

class QWidget;

namespace dav::editors::qt {

// Each dialog is built over a loaded form and shows it as it stands.
std::unique_ptr<FormDialog> MakeWinConfigDialog(frmWinConfig& form);
std::unique_ptr<FormDialog> MakeSysConfigDialog(frmSysConfig& form);
std::unique_ptr<FormDialog> MakeMsgDialog(frmMsg& form);

// A folder of the machine's drives chosen in a tree, or empty when cancelled.
std::string BrowseFolder(platform::FileSystem& files, const std::string& prompt, QWidget* parent);

}  // namespace dav::editors::qt
