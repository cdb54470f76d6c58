// frmWinConfig: its controls, the opening steps and the rules of its controls. Loading and
// saving documents are in frm_win_config_xml.cpp.
#include "editors/frm_win_config.h"

#include "editors/form_procedure.h"
#include "editors/form_ui.h"
#include "editors/frm_msg.h"
#include "platform/dialogs.h"
#include "util/run_time_error.h"

namespace dav::editors {

const std::array<OptionRow, 6> kXpOptionRows{{{"MyPictureView", "내 그림", 0},
                                              {"MyDocView", "내 문서", 3},
                                              {"MyMusicView", "내 음악", 6},
                                              {"MyComputerView", "내 컴퓨터", 9},
                                              {"NetworkLinkView", "네트워크 연결", 12},
                                              {"ControlView", "제어판", 15}}};

const std::array<OptionRow, 11> kWin7OptionRows{{{"User", "개인 폴더", 0},
                                                 {"MyGames", "게임", 3},
                                                 {"RecordedTV", "녹화된 TV", 6},
                                                 {"Downloads", "다운로드", 9},
                                                 {"MyDocs", "문서", 12},
                                                 {"Videos", "비디오", 15},
                                                 {"MyPics", "사진", 18},
                                                 {"MyMusic", "음악", 21},
                                                 {"ControlPanel", "제어판", 24},
                                                 {"MyComputer", "컴퓨터", 27},
                                                 {"SysAdminTools", "시스템 관리 도구", 30}}};

const std::array<CheckRow, 18> kXpCheckRows{{
    {"내 네트워크 환경", "MyNetworkView", "WinXP", false},
    {"내 최근 문서", "MyLatelyDocView", "WinXP", true},
    {"즐겨찾기 메뉴", "FavoritesView", "WinXP", false},
    {"검색", "SearchMenuView", "WinXP", false},
    {"실행 명령", "ExecuteMenuView", "WinXP", false},
    {"프린터 및 팩스", "PrinterFaxMenuView", "WinXP", false},
    {"도움말 및 지원", "HelpMenuView", "WinXP", true},
    {"모든 프로그램", "AllProMenuView", "WinXP", true},
    {"사용자 이름 표시", "UserNameMenuView", "WinXP", true},
    {"제어판 표시", "ControlInsert", "WinOriginal", false},
    {"프린터 목록 표시", "PrinterListInsert", "WinOriginal", false},
    {"휴지통 표시", "WastebasketInsert", "WinOriginal", false},
    {"전화접속 네트워킹 표시", "NetworkingInsert", "WinOriginal", false},
    {"문서 표시", "DocMenuDel", "WinOriginal", true},
    {"실행 표시", "ExecuteMenuDel", "WinOriginal", false},
    {"도움말 및 지원 표시", "HelpMenuDel", "WinOriginal", true},
    {"검색 표시", "NoSearch", "WinOriginal", true},
    {"즐겨찾기 표시", "FavoritesMenuDel", "WinOriginal", false},
}};

const std::array<CheckRow, 10> kWin7CheckRows{{
    {"기본 프로그램", "DefaultProgram", "Win7", false},
    {"네트워크", "NetPlaces", "Win7", false},
    {"도움말", "Help", "Win7", false},
    {"실행", "Run", "Win7", false},
    {"연결 대상", "NetConn", "Win7", false},
    {"장치 및 프린터", "Printers", "Win7", false},
    {"즐겨찾기 메뉴", "Favorites", "Win7", false},
    {"최근 문서", "RecentDocs", "Win7", false},
    {"홈 그룹", "HomeGroup", "Win7", false},
    {"로그오프 메뉴 비활성화", "Logoff", "Win7", false},
}};

const std::array<FlagRow, 5> kWinSkillRows{{
    {"윈도우 시작시 마다 아래의 설정대로 디스플레이 상태를 복원", "RebootDisplay"},
    {"윈도우 시작 시 Number Look 켜진 상태 유지", "NumLockStatus"},
    {"네트워크 드라이브를 사용자가 추가로 연결하거나 해제 못하도록 설정", "NetworkDriveSet"},
    {"바탕화면의 [네트워크 설정] 아이콘을 나타나지 않게 설정 (Windows XP에만 해당)",
     "NetworkIconDel"},
    {"프린터 드라이브를 삭제하지 못하도록 설정 (Windows XP에만 해당)", "NoPrinterDriverDel"},
}};

const std::array<FlagRow, 3> kExplorerRows{{
    {"익스플로러 제목 표시줄 텍스트 설정", "TitleBar"},
    {"인터넷 다운로드 경로(폴더) 지정 설정 (한글 경로를 지원하지 않습니다.) ", "DownFolder"},
    {"인터넷 옵션 설정 차단", "IEOpt"},
}};

const std::array<FlagRow, 7> kFileRows{{
    {"부팅 시 윈도우 최적화 자동 실행", "RebootWinOpt"},
    {"휴지통 비우기", "Garbage"},
    {"임시파일 삭제", "TempFile"},
    {"임시폴더 삭제", "TempFolder"},
    {"인터넷 쿠키 삭제", "Cookie"},
    {"열어본 페이지 삭제", "History"},
    {"최근 실행한 문서 삭제", "Doc"},
}};

const std::array<std::array<int, 2>, 4> kLinkedStartMenuBoxes{{{1, 13}, {2, 17}, {4, 14}, {6, 15}}};

namespace {

constexpr char kForm[] = "frmWinConfig";
const std::vector<std::int32_t> kFixedRefreshRates{60, 65, 70, 72, 75, 80, 85};

template <typename Rows>
std::vector<std::string> Captions(const Rows& rows) {
  std::vector<std::string> captions;
  for (const auto& row : rows) captions.push_back(row.caption);
  return captions;
}

template <typename Rows>
std::vector<std::string> OptionCaptions(const Rows& rows, const char* hidden, const char* special,
                                        const char* link1, const char* link2) {
  std::vector<std::string> captions;
  for (const OptionRow& row : rows) {
    const bool own = std::string_view(row.id) == special;
    captions.push_back(hidden);
    captions.push_back(own ? link1 : "연결로 표시");
    captions.push_back(own ? link2 : "메뉴로 표시");
  }
  return captions;
}

// The text before the last n characters (all ASCII here); run-time error 5 when shorter.
std::string DropSuffix(const std::string& text, std::size_t n) {
  if (text.size() < n) throw util::RunTimeError(util::kErrInvalidCall);
  return text.substr(0, text.size() - n);
}

}  // namespace

frmWinConfig::frmWinConfig(EditorContext& context) : Form(context, kForm) {
  caption = "윈도우 설정";
  AddOptions("optStartMenu",
             OptionCaptions(kXpOptionRows, "이 항목을 표시 안함", "NetworkLinkView",
                            "네트워크 연결 폴더로 연결", "연결 대상을 메뉴로 표시"));
  AddOptions("optStartMenuWin7",
             OptionCaptions(kWin7OptionRows, "이 항목 표시 안 함", "SysAdminTools",
                            "모든 프로그램 메뉴에 표시", "모든 프로그램 메뉴 및 시작 메뉴에 표시"));
  optionGroupSize_["optStartMenu"] = 3;
  optionGroupSize_["optStartMenuWin7"] = 3;
  AddChecks("chkStartMenu", Captions(kXpCheckRows));
  AddChecks("chkStartMenuWin7", Captions(kWin7CheckRows));
  AddChecks("chkStartProgram", {"현재 설정대로 고정하고 매 재부팅마다 적용합니다.", ""});
  AddChecks("chkWinSkill", Captions(kWinSkillRows));
  AddLists("cboWinSkill", {"해상도", "색 품질", "화면 재생 빈도"});
  AddChecks("chkExplorer", Captions(kExplorerRows));
  AddTexts("txtExplorer", {"제목 표시줄 :", "경로 설정 : "});
  AddButtons("cmdExplorer", {"찾아보기"});
  AddChecks("chkFile", Captions(kFileRows));
  AddChecks("chkDesktop", {"현재 설정대로 고정하고 매 재부팅마다 적용합니다.", ""});
  AddGrids("fgridStartProgram", 1);
  AddGrids("fgridDesktop", 1);
  AddButtons("cmdOK", {"확인"});
  AddButtons("cmdCancel", {"취소"});
}

std::string frmWinConfig::ShowForm(const std::string& inputDocument) {
  input_ = inputDocument;
  output_.clear();
  FormLoad();
  {
    // The document as loaded, to tell an OK that changed nothing; built without logging, as
    // no step of the editor's own builds it.
    util::Log::Mute mute(context().log);
    unchanged_ = XMLStringWinConfig();
  }
  Open();
  context().ui.Show(*this);
  Close();
  return output_;
}

// --- opening ----------------------------------------------------------------------------

void frmWinConfig::FormLoad() {
  RunProcedure(context().log, kForm, "Form_Load", [&](util::Procedure& proc) {
    proc.Line(10);
    SetForms();
    proc.Line(20);
    SetStartMenu();
    proc.Line(30);
    SetStartProgram();
    proc.Line(40);
    SetWinSkill();
    proc.Line(50);
    SetDesktop();
    proc.Line(60);
    SetTab(0);
    proc.Line(70);
    SetXML(input_, std::string());
  });
}

void frmWinConfig::SetForms() {
  RunProcedure(context().log, kForm, "SetForms", [&](util::Procedure& proc) {
    proc.Line(10);
    tabs = {
        {"윈도우 시작 메뉴", "윈도우 시작 메뉴", "시작메뉴설정목록", {"Windows XP", "Windows 7"}},
        {"시작 프로그램",
         "시작 프로그램 (Windows XP, 7 공통)",
         "시작프로그램목록",
         {"시작 프로그램"}},
        {"윈도우 기능 관리",
         "윈도우 기능 관리 (Windows XP, 7 공통)",
         "기능 관리 목록",
         {"윈도우 기능 설정", "익스플로러 설정", "파일 정리 설정"}},
        {"바탕화면 고정",
         "바탕화면 고정 (Windows XP, 7 공통)",
         "바탕화면 고정",
         {"바탕화면 고정 설정"}}};
  });
}

void frmWinConfig::SetStartMenu() {
  RunProcedure(context().log, kForm, "SetStartMenu", [&](util::Procedure& proc) {
    proc.Line(10);
    SetMenuSM(0);
  });
}

void frmWinConfig::SetStartProgram() {
  RunProcedure(context().log, kForm, "SetStartProgram", [&](util::Procedure& proc) {
    proc.Line(10);
    using Align = GridColumn::Align;
    Grid& grid = Grids("fgridStartProgram")[0];
    grid.Setup({{"check", "", 320, false, true, true, Align::kLeft},
                {"no", "No", 500, false, false, false, Align::kCenter},
                {"name", "파일명", 2000, false, false, false, Align::kLeft},
                {"cmd", "명령", 3000, false, false, false, Align::kLeft},
                {"path", "위치", 0, false, false, false, Align::kLeft},
                {"hkey", "", 0, true, false, false, Align::kLeft},
                {"isprev", "", 0, true, false, false, Align::kLeft}},
               1);
    grid.headerHeight = 400;
  });
}

void frmWinConfig::SetWinSkill() {
  RunProcedure(context().log, kForm, "SetWinSkill", [&](util::Procedure& proc) {
    proc.Line(10);
    if (!context().display) throw util::RunTimeError(util::kErrObjectNotSet);
    clsAvailableInfo& catalogue = *context().display;
    catalogue.GetInitScreenInfo(curWidth_, curHeight_, curColorBits_, curRefresh_);
    std::int32_t count = 0;
    widths_ = catalogue.GetResolutionW(count);
    heights_ = catalogue.GetResolutionH(count);
    proc.Line(20);
    ComboBox& resolutions = Lists("cboWinSkill")[0];
    bool found = false;
    for (std::size_t i = 0; i < widths_.size() && i < heights_.size(); ++i) {
      resolutions.items.push_back({std::to_string(widths_[i]) + " x " + std::to_string(heights_[i]),
                                   static_cast<std::int32_t>(i)});
      if (widths_[i] == curWidth_ && heights_[i] == curHeight_) {
        resolutions.listIndex = static_cast<int>(i);
        found = true;
      }
    }
    proc.Line(30);
    if (found) {
      cboWinSkill_Click(0);
    } else {
      context().ui.ShowMessage("초기화에 실패하여 종료 합니다.", "Initialize Failed",
                               platform::kMbOk | platform::kMbIconStop);
    }
    proc.Line(40);
    SetMenuWS(0);
  });
}

void frmWinConfig::SetDesktop() {
  RunProcedure(context().log, kForm, "SetDesktop", [&](util::Procedure& proc) {
    proc.Line(10);
    using Align = GridColumn::Align;
    Grid& grid = Grids("fgridDesktop")[0];
    grid.Setup({{"check", "", 320, false, true, true, Align::kLeft},
                {"no", "No", 600, false, false, false, Align::kCenter},
                {"icon", "아이콘 이름", 0, false, false, false, Align::kLeft}},
               1);
    grid.headerHeight = 400;
  });
}

void frmWinConfig::SetTab(int index) {
  RunProcedure(context().log, kForm, "SetTab", [&](util::Procedure& proc) {
    proc.Line(10);
    tab = index;
  });
}

void frmWinConfig::SetMenuSM(int index) {
  RunProcedure(context().log, kForm, "SetMenuSM", [&](util::Procedure& proc) {
    proc.Line(10);
    tabs.at(0).menuIndex = index;
  });
}

void frmWinConfig::SetMenuWS(int index) {
  RunProcedure(context().log, kForm, "SetMenuWS", [&](util::Procedure& proc) {
    proc.Line(10);
    tabs.at(2).menuIndex = index;
  });
}

void frmWinConfig::TabSelected(int index) {
  SetTab(index);
}

void frmWinConfig::MenuSelected(int index) {
  if (tab == 0) {
    SetMenuSM(index);
  } else if (tab == 2) {
    SetMenuWS(index);
  } else {
    Form::MenuSelected(index);
  }
}

// --- control rules ----------------------------------------------------------------------

void frmWinConfig::CheckClicked(std::string_view control, int index) {
  const std::string procedure = std::string(control) + "_Click";
  RunProcedure(context().log, kForm, procedure, [&](util::Procedure& proc) {
    proc.Line(10);
    const bool value = Checks(control)[static_cast<std::size_t>(index)].value;
    if (control == "chkStartMenu") {
      for (const auto& pair : kLinkedStartMenuBoxes) {
        if (pair[0] == index) SetCheck(control, pair[1], value);
        if (pair[1] == index) SetCheck(control, pair[0], value);
      }
    } else if (control == "chkExplorer" && index < 2) {
      Texts("txtExplorer")[static_cast<std::size_t>(index)].enabled = value;
    } else if ((control == "chkStartProgram" || control == "chkDesktop") && index == 1) {
      Grid& grid = Grids(control == "chkDesktop" ? "fgridDesktop" : "fgridStartProgram")[0];
      for (int row = grid.fixedRows; row < grid.Rows(); ++row) {
        grid.Cell(row, "check") = CellFlag(value);
      }
    }
  });
}

void frmWinConfig::ListClicked(std::string_view control, int index) {
  if (control == "cboWinSkill") cboWinSkill_Click(index);
}

void frmWinConfig::cboWinSkill_Click(int index) {
  RunProcedure(context().log, kForm, "cboWinSkill_Click", [&](util::Procedure& proc) {
    std::vector<ComboBox>& lists = Lists("cboWinSkill");
    if (!context().display || lists[0].listIndex < 0) return;
    clsAvailableInfo& catalogue = *context().display;
    const auto at = static_cast<std::size_t>(lists[0].items[lists[0].listIndex].data);
    const std::int32_t width = widths_.at(at);
    const std::int32_t height = heights_.at(at);
    if (index == 0) {
      proc.Line(10);
      std::int32_t count = 0;
      const std::vector<std::int16_t> depths = catalogue.GetColorBit(width, height, count);
      // The rates shown belong to the depth of list 1: both are filled afresh.
      lists[1].items.clear();
      lists[1].listIndex = -1;
      lists[2].items.clear();
      lists[2].listIndex = -1;
      int select = -1;
      for (const std::int16_t bits : depths) {
        if (bits == curColorBits_) select = static_cast<int>(lists[1].items.size());
        lists[1].items.push_back({std::to_string(bits) + " bit", bits});
      }
      proc.Line(20);
      if (select >= 0) SelectListItem("cboWinSkill", 1, select);
    } else if (index == 1) {
      proc.Line(30);
      if (lists[1].listIndex < 0) return;
      const auto bits = static_cast<std::int16_t>(lists[1].items[lists[1].listIndex].data);
      std::int32_t count = 0;
      const std::vector<std::int32_t> rates = catalogue.GetRefresh(width, height, bits, count);
      lists[2].items.clear();
      lists[2].listIndex = -1;
      int select = rates.empty() ? -1 : 0;
      for (const std::int32_t rate : rates) {
        if (rate == curRefresh_) select = static_cast<int>(lists[2].items.size());
        lists[2].items.push_back({std::to_string(rate) + " Hz", rate});
      }
      proc.Line(40);
      if (select >= 0) SelectListItem("cboWinSkill", 2, select);
      proc.Line(50);
      // The adapter's "default" rate alone: offer the usual rates instead.
      if (lists[2].items.size() == 1 &&
          (lists[2].items[0].data == 0 || lists[2].items[0].data == 1)) {
        lists[2].items.clear();
        lists[2].listIndex = -1;
        for (const std::int32_t rate : kFixedRefreshRates) {
          lists[2].items.push_back({std::to_string(rate) + " Hz", rate});
        }
        SelectListItem("cboWinSkill", 2, 1);
      }
    }
  });
}

void frmWinConfig::ButtonClicked(std::string_view control, int) {
  if (control == "cmdOK") cmdOK_Click();
  if (control == "cmdCancel") cmdCancel_Click();
  if (control == "cmdExplorer") cmdExplorer_Click();
}

void frmWinConfig::cmdOK_Click() {
  RunProcedure(context().log, kForm, "cmdOK_Click", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::vector<ComboBox>& lists = Lists("cboWinSkill");
    for (const ComboBox& list : lists) {
      if (list.listIndex < 0) return;
    }
    proc.Line(20);
    const std::string resolution = lists[0].Text();
    const std::size_t by = resolution.find(" x ");
    if (by == std::string::npos) throw util::RunTimeError(util::kErrSubscript);
    const std::size_t end = resolution.find(" x ", by + 3);
    catalogue::DisplayRequest& request = context().displayRequest;
    request.width = resolution.substr(0, by);
    request.height = resolution.substr(by + 3, end == std::string::npos ? end : end - by - 3);
    request.colorBits = DropSuffix(lists[1].Text(), 4);
    request.refresh = DropSuffix(lists[2].Text(), 3);
    proc.Line(30);
    output_ = XMLStringWinConfig();
    proc.Line(40);
    frmMsg msg(context());
    const std::int32_t choice = msg.ShowForm();
    context().closingChoice = choice;
    proc.Line(50);
    if (choice != kChoiceClosed) Close();
  });
}

void frmWinConfig::cmdCancel_Click() {
  RunProcedure(context().log, kForm, "cmdCancel_Click", [&](util::Procedure& proc) {
    proc.Line(10);
    Close();
  });
}

void frmWinConfig::cmdExplorer_Click() {
  RunProcedure(context().log, kForm, "cmdExplorer_Click", [&](util::Procedure& proc) {
    proc.Line(10);
    Texts("txtExplorer")[1].text = GetDirectory("폴더를 선택하여 주세요");
  });
}

std::string frmWinConfig::GetDirectory(std::string_view prompt) {
  return context().ui.BrowseForFolder(prompt.empty() ? "폴더를 선택하세요" : prompt);
}

}  // namespace dav::editors
