// The system settings editor: three tabs, the control panel applets of both generations,
// the blocked tools with the drive list, and the blocked folders.
#include "editors/win32/dialogs.h"

namespace dav::editors::win32 {

void LayOutSysConfig(FormWindow& window, frmSysConfig&) {
  window.AddTabs(44);
  for (int generation = 0; generation < 2; ++generation) {
    window.Panel(0, generation);
    window.Row({Text("제어판에서 나타내지 않을 아이콘의 체크를 풀어주십시오.")}, 20);
    window.Row({Control("chkControlPanel", generation)});
    window.Row({Control("fgrid", generation)}, 34, true);
    window.Row({Text(""), Control("cmdAllSelect", generation, 90),
                Control("cmdZeroSelect", generation, 90)},
               26);
  }

  window.Panel(1, 0);
  for (int i = 0; i < static_cast<int>(kUseAccessRows.size()); ++i) {
    window.Row({Control("chkUseAccess", i)});
  }
  window.Row({Control("fgridDrive"), Text("")}, 0, true);

  window.Panel(2, 0);
  window.Row({Control("chkFolder", 0)});
  window.Row({Control("chkFolder", 1)});
  window.Row({Text("접근 차단 폴더 경로", 130), Control("txtPath"), Control("cmdInsert", 0, 70),
              Control("cmdDelete", 0, 70)},
             24);
  window.Row({Text("차단 설정된 폴더 접근 시 해당 폴더 창이 자동으로 종료됩니다.")}, 20);
  window.Row({Control("fgridFolder")}, 0, true);

  window.Panel(-1, -1);
  window.Row({Text(""), Control("cmdOK", 0, 90), Control("cmdCancel", 0, 90)}, 28);
}

}  // namespace dav::editors::win32
