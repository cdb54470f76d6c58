// The layouts of the three editors' windows over the form models.
#pragma once

#include "editors/frm_msg.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "editors/win32/form_window.h"

namespace dav::editors::win32 {

// The window size of each, in pixels at 96 DPI.
inline constexpr SIZE kWinConfigSize{880, 600};
inline constexpr SIZE kSysConfigSize{880, 600};
inline constexpr SIZE kMsgSize{560, 200};

void LayOutWinConfig(FormWindow& window, frmWinConfig& form);
void LayOutSysConfig(FormWindow& window, frmSysConfig& form);
void LayOutMsg(FormWindow& window, frmMsg& form);

}  // namespace dav::editors::win32
