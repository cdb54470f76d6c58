// frmSysConfig: its controls, the opening steps and the rules of its controls. Loading and
// saving documents are in frm_sys_config_xml.cpp.
#include "editors/frm_sys_config.h"

#include "editors/form_procedure.h"
#include "editors/form_ui.h"
#include "editors/frm_msg.h"
#include "platform/dialogs.h"

namespace dav::editors {

const std::array<AccessRow, 8> kUseAccessRows{{
    {"윈도우 명령 프롬프트 실행 차단", "CmdPrompt"},
    {"레지스트리 편집기(regedit.exe) 실행 차단", "RegEdition"},
    {"윈도우 작업관리자(Ctrl + Alt + Delete)를 사용하지 못하도록 차단", "TaskManager"},
    {"내 컴퓨터의 속성을 나타내지 않음", "NoPropertiesMyComputer"},
    {"폴더 도구의 옵션 접근 차단", "ClassicViewState"},
    {"드라이브 차단하기", "NoViewOnDrive"},
    {"디스플레이 등록정보 창의 모든 탭 숨기기 (Windows XP에만 해당)", "Display"},
    {"드라이브 숨기기", "NoDrives"},
}};

namespace {

constexpr char kForm[] = "frmSysConfig";
constexpr int kDrives = 26;
constexpr std::size_t kShownPathLength = 30;

std::string ProtectedFolder(std::string folder) {
  const std::string part = "\\Components\\DavIrizevez";
  for (std::size_t at; (at = folder.find(part)) != std::string::npos;)
    folder.erase(at, part.size());
  return folder + "\\CDKey\\plimsa";
}

}  // namespace

frmSysConfig::frmSysConfig(EditorContext& context)
    : Form(context, kForm), protectedFolder_(ProtectedFolder(context.log.componentFolder())) {
  caption = "보안 설정";
  const std::string noControlPanel = "시작 메뉴에서 제어판을 나타나지 않게 합니다.";
  AddChecks("chkControlPanel", {noControlPanel, noControlPanel});
  AddGrids("fgrid", 2);
  AddButtons("cmdAllSelect", {"전체선택", "전체선택"});
  AddButtons("cmdZeroSelect", {"전체해제", "전체해제"});
  std::vector<std::string> access;
  for (const AccessRow& row : kUseAccessRows) access.push_back(row.caption);
  AddChecks("chkUseAccess", access);
  AddGrids("fgridDrive", 1);
  AddChecks("chkFolder", {"지정 폴더 접근을 차단합니다.", "하위 폴더 접근 시 모두 차단"});
  AddTexts("txtPath", {"접근 차단 폴더 경로"});
  AddButtons("cmdInsert", {"추가"});
  AddButtons("cmdDelete", {"삭제"});
  AddGrids("fgridFolder", 1);
  AddButtons("cmdOK", {"확인"});
  AddButtons("cmdCancel", {"취소"});
}

std::string frmSysConfig::ShowForm(const std::string& inputDocument) {
  input_ = inputDocument;
  output_.clear();
  FormLoad();
  {
    // The document as loaded, to tell an OK that changed nothing; built without logging, as
    // no step of the editor's own builds it.
    util::Log::Mute mute(context().log);
    unchanged_ = XMLStringSysConfig();
  }
  Open();
  context().ui.Show(*this);
  Close();
  return output_;
}

// --- opening ----------------------------------------------------------------------------

void frmSysConfig::FormLoad() {
  RunProcedure(context().log, kForm, "Form_Load", [&](util::Procedure& proc) {
    proc.Line(10);
    SetForms();
    proc.Line(20);
    SetControlPanel();
    proc.Line(30);
    SetUsed();
    proc.Line(40);
    SetFolder();
    proc.Line(50);
    SetTab(0);
    proc.Line(60);
    SetXML(input_, std::string());
    proc.Line(70);
    FolderRule();
  });
}

void frmSysConfig::SetForms() {
  RunProcedure(context().log, kForm, "SetForms", [&](util::Procedure& proc) {
    proc.Line(10);
    tabs = {{"제어판 보안", "제어판 보안", "제어판 목록", {"Windows XP", "Windows 7"}},
            {"사용제한", "사용 제한", "사용제한 목록", {"사용 제한"}},
            {"폴더 접근 제한", "폴더 접근 제한", "폴더접근제한 목록", {"폴더 접근 제한"}}};
  });
}

void frmSysConfig::SetControlPanel() {
  RunProcedure(context().log, kForm, "SetControlPanel", [&](util::Procedure& proc) {
    proc.Line(10);
    std::vector<Grid>& grids = Grids("fgrid");
    for (std::size_t i = 0; i < grids.size(); ++i) {
      std::vector<GridColumn> columns{{"check", "", 320, false, true, true},
                                      {"caption", "", 0, false, false, false},
                                      {"key", "", 0, true, false, false}};
      if (i == 1) columns.push_back({"discpl", "", 0, true, false, false});
      grids[i].Setup(std::move(columns), 0);
      grids[i].rowHeight = 300;
    }
    proc.Line(20);
    SetMenuCP(0);
  });
}

void frmSysConfig::SetUsed() {
  RunProcedure(context().log, kForm, "SetUsed", [&](util::Procedure& proc) {
    proc.Line(10);
    Grid& grid = Grids("fgridDrive")[0];
    grid.Setup({{"check", "", 320, false, true, true},
                {"image", "", 500, false, false, false},
                {"drive", "", 0, false, false, false}},
               0);
    for (int n = 0; n < kDrives; ++n) {
      const int row = grid.AddRow();
      const std::string letter(1, static_cast<char>('A' + n));
      grid.Cell(row, "check") = CellFlag(false);
      grid.Cell(row, "image") = n == 0 ? "keyA" : n == 4 ? "keyD" : "keyC";
      grid.Cell(row, "drive") = letter + ":\\ 드라이브";
    }
  });
}

void frmSysConfig::SetFolder() {
  RunProcedure(context().log, kForm, "SetFolder", [&](util::Procedure& proc) {
    proc.Line(10);
    using Align = GridColumn::Align;
    Grid& grid = Grids("fgridFolder")[0];
    grid.Setup({{"number", "No", 500, false, false, false, Align::kCenter},
                {"path", "차단 폴더 경로", 0, false, false, false, Align::kLeft},
                {"temp", "", 0, true, false, false, Align::kLeft}},
               1);
    grid.headerHeight = 350;
  });
}

void frmSysConfig::SetTab(int index) {
  RunProcedure(context().log, kForm, "SetTab", [&](util::Procedure& proc) {
    proc.Line(10);
    tab = index;
  });
}

void frmSysConfig::SetMenuCP(int index) {
  RunProcedure(context().log, kForm, "SetMenuCP", [&](util::Procedure& proc) {
    proc.Line(10);
    tabs.at(0).menuIndex = index;
  });
}

void frmSysConfig::TabSelected(int index) {
  SetTab(index);
}

void frmSysConfig::MenuSelected(int index) {
  if (tab == 0) {
    SetMenuCP(index);
  } else {
    Form::MenuSelected(index);
  }
}

// --- control rules ----------------------------------------------------------------------

void frmSysConfig::DriveRule() {
  const std::vector<CheckBox>& boxes = Checks("chkUseAccess");
  Grids("fgridDrive")[0].enabled = boxes[5].value || boxes[7].value;
}

void frmSysConfig::FolderRule() {
  const bool on = Checks("chkFolder")[0].value;
  Grids("fgridFolder")[0].enabled = on;
  Checks("chkFolder")[1].enabled = on;
  Texts("txtPath")[0].enabled = on;
  Buttons("cmdInsert")[0].enabled = on;
  Buttons("cmdDelete")[0].enabled = on;
}

void frmSysConfig::CheckClicked(std::string_view control, int index) {
  const std::string procedure = std::string(control) + "_Click";
  RunProcedure(context().log, kForm, procedure, [&](util::Procedure& proc) {
    proc.Line(10);
    if (control == "chkControlPanel") {
      SetCheck(control, 1 - index, Checks(control)[static_cast<std::size_t>(index)].value);
    } else if (control == "chkUseAccess") {
      DriveRule();
    } else if (control == "chkFolder") {
      FolderRule();
    }
  });
}

void frmSysConfig::ButtonClicked(std::string_view control, int index) {
  if (control == "cmdAllSelect" || control == "cmdZeroSelect") {
    const std::string procedure = std::string(control) + "_Click";
    RunProcedure(context().log, kForm, procedure, [&](util::Procedure& proc) {
      proc.Line(10);
      Grid& grid = Grids("fgrid")[static_cast<std::size_t>(index)];
      for (int row = grid.fixedRows; row < grid.Rows(); ++row) {
        grid.Cell(row, "check") = CellFlag(control == "cmdAllSelect");
      }
    });
  } else if (control == "cmdInsert") {
    cmdInsert_Click();
  } else if (control == "cmdDelete") {
    cmdDelete_Click();
  } else if (control == "cmdOK") {
    cmdOK_Click();
  } else if (control == "cmdCancel") {
    RunProcedure(context().log, kForm, "cmdCancel_Click", [&](util::Procedure& proc) {
      proc.Line(10);
      Close();
    });
  }
}

void frmSysConfig::GridHovered(std::string_view control, int) {
  if (control != "fgridFolder") return;
  Grid& grid = Grids("fgridFolder")[0];
  if (hover_.row > 0 && hover_.col > 0 && hover_.row < grid.Rows()) {
    grid.toolTip = grid.Cell(hover_.row, "temp");
  }
}

void frmSysConfig::cmdInsert_Click() {
  RunProcedure(context().log, kForm, "cmdInsert_Click", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::string& typed = Texts("txtPath")[0].text;
    if (typed.empty()) return;
    proc.Line(20);
    const std::string candidate = Lower(typed);
    Grid& grid = Grids("fgridFolder")[0];
    for (int row = grid.fixedRows; row < grid.Rows(); ++row) {
      if (Lower(grid.Cell(row, "temp")) == candidate) {
        context().ui.ShowMessage("중복된 경로입니다.", "DavIrizevez", platform::kMbOk);
        return;
      }
    }
    proc.Line(30);
    const int row = grid.AddRow();
    grid.Cell(row, "number") = std::to_string(grid.DataRows());
    grid.Cell(row, "path") = CharCount(candidate) < kShownPathLength
                                 ? candidate
                                 : LeftChars(candidate, kShownPathLength) + "..";
    grid.Cell(row, "temp") = candidate;
  });
}

void frmSysConfig::cmdDelete_Click() {
  RunProcedure(context().log, kForm, "cmdDelete_Click", [&](util::Procedure& proc) {
    proc.Line(10);
    Grid& grid = Grids("fgridFolder")[0];
    if (grid.row > 0 && grid.row < grid.Rows() && grid.col >= 0) grid.RemoveRow(grid.row);
  });
}

void frmSysConfig::cmdOK_Click() {
  RunProcedure(context().log, kForm, "cmdOK_Click", [&](util::Procedure& proc) {
    proc.Line(10);
    output_ = XMLStringSysConfig();
    proc.Line(20);
    frmMsg msg(context());
    context().closingChoice = msg.ShowForm();
    proc.Line(30);
    Close();
  });
}

}  // namespace dav::editors
