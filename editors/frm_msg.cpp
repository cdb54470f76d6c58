#include "editors/frm_msg.h"

#include "editors/form_ui.h"

namespace dav::editors {

frmMsg::frmMsg(EditorContext& context) : Form(context, "frmMsg") {
  caption = "브리살 윈도우 설정";
  lines = {
      "Windows를 재시작하지 않고 설정한 내용을 적용하기 위해 쉘 프로세스를 다시 시작합니다.",
      "작업중인 데이터를 모두 저장한 후 [쉘 프로세스 다시 시작] 버튼을 누르십시오.",
      "쉘 프로세스를 다시 시작하는 도중 문제가 발생하면 프로그램 설정에서 옵션을 변경하십시오."};
  AddButtons("Command1", {"쉘 프로세스 다시 시작"});
  AddButtons("Command2", {"재부팅 후 적용"});
}

std::int32_t frmMsg::ShowForm() {
  result_ = kChoiceClosed;
  Open();
  context().ui.Show(*this);
  Close();
  return result_;
}

void frmMsg::ButtonClicked(std::string_view control, int) {
  if (control == "Command1") result_ = kChoiceRestartShell;
  if (control == "Command2") result_ = kChoiceAfterReboot;
  Close();
}

}  // namespace dav::editors
