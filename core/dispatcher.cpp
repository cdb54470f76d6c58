// The command table of IClientComponent_Handle: the first command that cmd equals (exactly,
// letter case included) runs. Commands that are not in the table are ignored. A failure in
// a command, the host's included, ends the command; IClientComponent_Handle logs it.
#include <string>
#include <string_view>
#include <vector>

#include "core/component.h"
#include "listdoc/md_type_define.h"
#include "process/mod_process_cut.h"
#include "util/conversions.h"
#include "util/mod_main.h"
#include "util/run_time_error.h"
#include "xml/document.h"
#include "xml/parse_error.h"

namespace dav::core {
namespace {

constexpr char kSpecVersion[] = "1.0.0";
constexpr char kComponent[] = "DavIrizevez";
constexpr char kNoKillExplorer[] = "NoKillExplorer";
constexpr char kFieldSeparator = '\x1d';
constexpr std::int32_t kErrSubscriptOutOfRange = 9;

// The run-time's Split: an empty text has no fields at all, any other text one more field
// than it has separators.
std::vector<std::string> SplitFields(const std::string& text) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(kFieldSeparator, start)) != std::string::npos;) {
    fields.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  fields.push_back(text.substr(start));
  return fields;
}

const std::string& Field(const std::vector<std::string>& fields, std::size_t index) {
  if (index >= fields.size()) throw util::RunTimeError(kErrSubscriptOutOfRange);
  return fields[index];
}

// The warning shown before a manager logs in: the lock-down comes back only through log-off.
constexpr char kLoginWarningTitle[] = "관리자 로그인";
constexpr char kLoginWarningText[] =
    "[관리자 로그인] 후 PC를 재부팅하면,\r\n\r\n"
    "현재 설정한 [윈도우 설정] 및 [보안 설정]이\r\n\r\n"
    "정상적으로 적용되지 않을 수 있으므로, 반드시 \r\n\r\n"
    "[관리자 로그오프] 후 재부팅 해주시기 바랍니다.";

}  // namespace

void CCDavIrizevez::RunCommand(util::Procedure& handle, const std::string& cmd,
                               const std::string& StrProtocol) {
  if (cmd == "REQ_SYSCONF") {
    SendDocument(handle, "GISC", true);
  } else if (cmd == "REQ_WINCONF") {
    SendDocument(handle, "GIWC", false);
  } else if (cmd == "REQ_SYSCONF_SAVE") {
    SendDocument(handle, "GISC_SAVE", true);
  } else if (cmd == "REQ_WINCONF_SAVE") {
    SendDocument(handle, "GIWC_SAVE", false);
  } else if (cmd == "SYSCONFIG") {
    EditDocument(handle, cmd, true);
  } else if (cmd == "WINCONFIG") {
    EditDocument(handle, cmd, false);
  } else if (cmd == "APL_SYSCONF") {
    ApplyDocumentCommand(handle, cmd, StrProtocol, true);
  } else if (cmd == "APL_WINCONF") {
    ApplyDocumentCommand(handle, cmd, StrProtocol, false);
  } else if (cmd == "APL_PREVWS") {
    handle.Line(10);
    if (ComponentFileExists("initial.qsf")) ApplyXML_ManagerLogin(ComponentFile("initial.qsf"));
    handle.Line(20);
    if (ComponentFileExists("initial2.qsf")) ApplyXML_ManagerLogin(ComponentFile("initial2.qsf"));
    handle.Line(30);
    if (ComponentFileExists("WinAdmin.qsf")) ApplyManagerLogin(ComponentFile("WinAdmin.qsf"));
  } else if (cmd == "MAKE_QSF") {
    handle.Line(10);
    // The system body first, then the window body (with its SyncReg), in two statements:
    // one expression "a + b" would leave the order of the two calls to the compiler.
    std::string body = MakeSysConfigXML();
    body += MakeWinConfigXML();
    handle.Line(20);
    SaveConfigurationDocument(mdTypeDefine::XMLDocument(kSpecVersion, body),
                              ComponentFile("WinSetInitial.qsf"));
  } else if (cmd == "APL_WINSET") {
    ReapplyUserDocuments(handle);
    handle.Line(30);
    if (StrProtocol != kNoKillExplorer) ShellRestart();
  } else if (cmd == "APL_LOGOFF") {
    ReapplyUserDocuments(handle);
    handle.Line(30);
    host_.PostNotice(kComponent, "APL_FAENABLE", 1);
    handle.Line(40);
    if (StrProtocol != kNoKillExplorer) ShellRestart();
  } else if (cmd == "APL_LOGIN") {
    ManagerLogin(handle, StrProtocol, true);
  } else if (cmd == "APL_MNGLOGIN") {
    ManagerLogin(handle, StrProtocol, false);
  }
}

void CCDavIrizevez::SendDocument(util::Procedure& handle, const std::string& code, bool system) {
  handle.Line(10);
  const std::string document =
      mdTypeDefine::XMLDocument(kSpecVersion, system ? MakeSysConfigXML() : MakeWinConfigXML());
  handle.Line(20);
  host_.SendReply(std::string(kComponent) + "\t" + code + "\t" + document);
}

void CCDavIrizevez::ApplyDocumentCommand(util::Procedure& handle, const std::string& cmd,
                                         const std::string& StrProtocol, bool system) {
  handle.Line(10);
  host_.PostNotice(kComponent, cmd, 1);
  handle.Line(20);
  modMain::WaitSeconds(platform_.clock(), 2);
  handle.Line(30);
  const std::vector<std::string> fields = SplitFields(StrProtocol);
  handle.Line(40);
  if (system) {
    ApplySysConfigXML(Field(fields, 0), std::string(), false);
  } else {
    ApplyWinConfigXML(Field(fields, 0), std::string(), false);
  }
  handle.Line(50);
  if (util::ToBoolean(Field(fields, 1))) {
    if (!system) {
      handle.Line(60);
      DisplayChange();
    }
    handle.Line(70);
    ShellRestart();
  }
  handle.Line(80);
  host_.PostNotice(kComponent, cmd, 2);
  if (system) {
    handle.Line(90);
    host_.PostNotice(kComponent, "APL_FASETTING", 1);
  }
}

void CCDavIrizevez::ReapplyUserDocuments(util::Procedure& handle) {
  handle.Line(10);
  if (ComponentFileExists("SysConfig.qsf")) {
    ApplySysConfigXML(std::string(), ComponentFile("SysConfig.qsf"), true);
  }
  handle.Line(20);
  if (ComponentFileExists("WinConfig.qsf")) {
    ApplyWinConfigXML(std::string(), ComponentFile("WinConfig.qsf"), true);
  }
}

void CCDavIrizevez::ManagerLogin(util::Procedure& handle, const std::string& StrProtocol,
                                 bool warn) {
  if (warn) {
    handle.Line(10);
    platform_.dialogs().ShowMessage(kLoginWarningText, kLoginWarningTitle,
                                    platform::kMbOk | platform::kMbIconInformation);
  }
  handle.Line(20);
  if (ComponentFileExists("WinAdmin.qsf")) ApplyManagerLogin(ComponentFile("WinAdmin.qsf"));
  handle.Line(30);
  host_.PostNotice(kComponent, "APL_FADISABLE", 1);
  handle.Line(40);
  if (StrProtocol != kNoKillExplorer) ShellRestart();
}

void CCDavIrizevez::ShellRestart() {
  CloseRestrictedWindows();
  // Windows starts a new shell when the old one ends; the new shell reads the changed
  // policies.
  modProcessCut::TerminateProcessByName(platform_, "explorer.exe");
}

void CCDavIrizevez::DisplayChange() {
  if (!state_.displayCatalogue) throw util::RunTimeError(util::kErrObjectNotSet);
  const catalogue::DisplayRequest& request = state_.requests.display;
  // Texts that are no number (also a request no document has set) fail the command here.
  const std::int32_t width = util::ToLong(request.width);
  const std::int32_t height = util::ToLong(request.height);
  const std::int16_t colorBits = util::ToInteger(request.colorBits);
  const std::int32_t refresh = util::ToLong(request.refresh);
  state_.displayCatalogue->SetDisplayChange(width, height, colorBits, refresh);
}

void CCDavIrizevez::CloseRestrictedWindows() {
  const catalogue::WindowClosingFlags& closing = state_.requests.closing;
  // The property windows that may show what a document has just blocked; the System
  // Properties window only when it is blocked itself.
  const char* const titles[] = {"프로그램 추가/제거", "디스플레이 등록 정보", "시스템 등록 정보",
                                "인터넷 등록 정보", "인터넷 옵션"};
  for (std::size_t i = 0; i < std::size(titles); ++i) {
    if (i == 2 && !closing.systemProperties) continue;
    const platform::WindowHandle window = platform_.windows().FindByTitle(titles[i]);
    if (window != platform::kNoWindow) platform_.windows().SendClose(window);
  }
  if (closing.commandPrompt) modProcessCut::TerminateProcessByName(platform_, "cmd.exe");
  if (closing.registryEditor) modProcessCut::TerminateProcessByName(platform_, "regedit.exe");
  if (closing.taskManager) modProcessCut::TerminateProcessByName(platform_, "taskmgr.exe");
}

void CCDavIrizevez::SaveConfigurationDocument(const std::string& text, std::string path) {
  xml::Document doc;
  const bool parsed = doc.loadXML(text);
  if (path.empty()) path = ComponentFile("initial.qsf");
  if (parsed) {
    doc.save(platform_.files(), path);
  } else {
    xml::LogParseError(log_, doc.parseError());
  }
}

std::string CCDavIrizevez::ComponentFile(std::string_view name) const {
  return componentFolder() + "\\" + std::string(name);
}

bool CCDavIrizevez::ComponentFileExists(std::string_view name) {
  const std::uint32_t attributes = platform_.files().GetAttributes(ComponentFile(name));
  return attributes != platform::kInvalidAttributes && !(attributes & platform::kAttrDirectory);
}

}  // namespace dav::core
