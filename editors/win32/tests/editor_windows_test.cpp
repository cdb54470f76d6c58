// The editors' native windows under a desktop: opened by the component in DavIrizevez.dll
// as a host's WINCONFIG and SYSCONFIG do, found and driven from a second thread as a user
// would, and photographed; and the script driver's scenarios carried out on the windows
// give what the script driver gives.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "davirizevez.h"
#include "editors/tests/editor_fixture.h"
#include "editors/win32/tests/window_driver.h"
#include "editors/win32/ui_font.h"
#include "editors/win32/win32_form_ui.h"
#include "platform/win32/text.h"

namespace dav::editors::win32::testing {
namespace {

using platform::win32::ToWide;

const char kComponentFolder[] = "C:\\dav_editor_windows";

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// A row of a saved document, as the document writer spells it.
std::string SavedRow(const std::string& id, bool value) {
  return "ID=\"" + id + "\" Value=\"" + (value ? "1" : "0") + "\"";
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(ToWide(path).c_str(), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Whether every control of the model is a window of the matching class with its caption,
// and the font has Hangul; what is wrong goes to problems.
void CheckControls(HWND form, const Form& model, std::vector<std::string>& problems) {
  const std::map<std::string, HWND> controls = ControlsOf(form);
  for (const std::string& name : model.ControlNames()) {
    const int count = model.Count(name);
    for (int i = 0; i < count; ++i) {
      const std::string key = count > 1 ? name + "(" + std::to_string(i) + ")" : name;
      const auto found = controls.find(key);
      if (found == controls.end()) {
        problems.push_back(model.name() + " has no window for " + key);
        continue;
      }
      wchar_t windowClass[64] = {};
      GetClassNameW(found->second, windowClass, 64);
      const auto at = static_cast<std::size_t>(i);
      std::wstring expectedClass = L"Button";
      std::string caption;
      switch (model.KindOf(name)) {
        case Form::Kind::kCheck:
          caption = model.Checks(name)[at].caption;
          break;
        case Form::Kind::kOption:
          caption = model.Options(name)[at].caption;
          break;
        case Form::Kind::kButton:
          caption = model.Buttons(name)[at].caption;
          break;
        case Form::Kind::kList:
          expectedClass = L"ComboBox";
          break;
        case Form::Kind::kText:
          expectedClass = L"Edit";
          caption = WindowText(found->second);  // a text box shows its text
          break;
        case Form::Kind::kGrid:
          expectedClass = WC_LISTVIEWW;
          break;
        case Form::Kind::kNone:
          break;
      }
      if (_wcsicmp(windowClass, expectedClass.c_str()) != 0) {
        problems.push_back(key + " is a " + platform::win32::FromWide(windowClass));
      }
      if (WindowText(found->second) != caption && model.KindOf(name) != Form::Kind::kList &&
          model.KindOf(name) != Form::Kind::kGrid) {
        problems.push_back(key + " shows \"" + WindowText(found->second) + "\", not \"" + caption +
                           "\"");
      }
    }
  }
  // The font every control of the form is given.
  const auto font =
      controls.empty()
          ? HFONT{}
          : reinterpret_cast<HFONT>(SendMessageW(controls.begin()->second, WM_GETFONT, 0, 0));
  if (!font || !CoversHangul(font)) problems.push_back(model.name() + ": its font has no Hangul");
}

// A PNG of every side menu entry of every tab, as prefix-TAB-ENTRY.png in the test's
// folder; the first tab's first entry is shown again after.
void PhotographEveryPanel(HWND form, const std::string& prefix,
                          std::vector<std::string>& problems) {
  CreateDirectoryW(L"screenshots", nullptr);
  HWND tabs = FindWindowExW(form, nullptr, WC_TABCONTROLW, nullptr);
  const int tabCount = tabs ? static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
  for (int t = 0; t < std::max(tabCount, 1); ++t) {
    int entries = 1;
    if (tabs) {
      ChooseTab(form, t);
      HWND menu = nullptr;
      for (HWND child = FindWindowExW(form, nullptr, L"ListBox", nullptr); child;
           child = FindWindowExW(form, child, L"ListBox", nullptr)) {
        if (IsWindowVisible(child)) menu = child;
      }
      entries = menu ? static_cast<int>(SendMessageW(menu, LB_GETCOUNT, 0, 0)) : 1;
    }
    for (int m = 0; m < entries; ++m) {
      if (tabs) ChooseMenu(form, m);
      const std::string path =
          "screenshots\\" + prefix + "-" + std::to_string(t) + "-" + std::to_string(m) + ".png";
      if (!Screenshot(form, path)) problems.push_back("could not write " + path);
    }
  }
  if (tabs) {
    ChooseTab(form, 0);
    ChooseMenu(form, 0);
  }
}

// A host of the component through the DLL's C interface, over a component folder of its
// own; it keeps the notices.
class DllHost {
 public:
  DllHost() {
    CreateDirectoryW(ToWide(kComponentFolder).c_str(), nullptr);
    for (const char* file : {"\\WinConfig.qsf", "\\SysConfig.qsf"}) {
      DeleteFileW(ToWide(std::string(kComponentFolder) + file).c_str());
    }
    callbacks_.context = this;
    callbacks_.PostNotice = [](void* self, const char* component, const char* code, int32_t stage) {
      static_cast<DllHost*>(self)->notices.push_back(std::string(component) + " " + code + " " +
                                                     std::to_string(stage));
      return int32_t{0};
    };
    callbacks_.SendReply = [](void*, const char*, int32_t) { return int32_t{0}; };
    callbacks_.GetClientFolder = [](void*, const char** text) {
      *text = "C:\\Program Files\\brisal client";
      return int32_t{0};
    };
    callbacks_.GetClientRegistryKey = [](void*, const char** text) {
      *text = "Software\\quorel\\brisal client";
      return int32_t{0};
    };
    callbacks_.GetSpecVersion = [](void*, const char** text) {
      *text = "2.5.1";
      return int32_t{0};
    };
    component_ = DavIrizevez_Create(kComponentFolder);
    DavIrizevez_Initialize(component_, &callbacks_, 0);
  }
  ~DllHost() {
    DavIrizevez_Terminate(component_);
    DavIrizevez_Destroy(component_);
  }
  void Handle(const char* command) { DavIrizevez_Handle(component_, command, ""); }
  std::string Saved(const char* file) const {
    return ReadFile(std::string(kComponentFolder) + "\\" + file);
  }

  std::vector<std::string> notices;

 private:
  DavHostCallbacks callbacks_{};
  DavComponent* component_ = nullptr;
};

// The command policy value of the current user, -1 when it is not there.
long DisableCmd() {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows\\System",
                   L"DisableCMD", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
    return -1;
  }
  return static_cast<long>(value);
}

// The registry keys that the component's documents write, as the DLL tests found them:
// copied aside when made and put back when destroyed, so that the tests after these find
// the prefix as it was.
class RegistryKeeper {
 public:
  RegistryKeeper() {
    std::ifstream list(DAV_TOUCHED_KEYS);
    std::string line;
    while (std::getline(list, line)) {
      if (line.empty() || line[0] == '#') continue;
      const std::string key = line.substr(line.find_first_not_of(' ', line.find(' ')));
      const std::size_t slash = key.find('\\');
      Kept kept;
      kept.hive =
          key.substr(0, slash) == "HKEY_LOCAL_MACHINE" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
      kept.path = ToWide(key.substr(slash + 1));
      kept.copy = L"Software\\DavEditorWindowsTest\\" + std::to_wstring(kept_.size());
      HKEY source = nullptr;
      if (RegOpenKeyExW(kept.hive, kept.path.c_str(), 0, KEY_READ, &source) == ERROR_SUCCESS) {
        kept.existed = Copy(source, HKEY_CURRENT_USER, kept.copy);
        RegCloseKey(source);
      }
      kept_.push_back(std::move(kept));
    }
  }
  ~RegistryKeeper() {
    for (const Kept& kept : kept_) {
      RegDeleteTreeW(kept.hive, kept.path.c_str());
      if (!kept.existed) continue;
      HKEY copy = nullptr;
      if (RegOpenKeyExW(HKEY_CURRENT_USER, kept.copy.c_str(), 0, KEY_READ, &copy) ==
          ERROR_SUCCESS) {
        Copy(copy, kept.hive, kept.path);
        RegCloseKey(copy);
      }
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\DavEditorWindowsTest");
  }
  std::size_t size() const { return kept_.size(); }

 private:
  struct Kept {
    HKEY hive;
    std::wstring path;
    std::wstring copy;
    bool existed = false;
  };
  static bool Copy(HKEY source, HKEY hive, const std::wstring& path) {
    HKEY target = nullptr;
    if (RegCreateKeyExW(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                        nullptr) != ERROR_SUCCESS) {
      return false;
    }
    const bool copied = RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    RegCloseKey(target);
    return copied;
  }
  std::vector<Kept> kept_;
};

class EditorWindowsTest : public dav::editors::testing::EditorTest {
 protected:
  void SetUp() override {
    if (!Win32FormUi::DesktopAvailable()) GTEST_SKIP() << "this system cannot show windows";
  }
  // The models, for their controls and captions.
  Win32FormUi unusedUi_;
  EditorContext modelContext_{log_, unusedUi_, nullptr, request_, choice_};
};

TEST_F(EditorWindowsTest, SystemEditorOfTheDllIsShownDrivenAndApplied) {
  const frmSysConfig model(modelContext_);
  const frmMsg choice(modelContext_);
  RegistryKeeper keep;
  ASSERT_GT(keep.size(), 0u) << DAV_TOUCHED_KEYS;
  std::vector<std::string> problems;
  std::vector<std::string> messages;
  bool blocked = false;
  UiThreadWatch watch;
  DllHost host;
  RunWithDriver(
      [&] { host.Handle("SYSCONFIG"); },
      [&] {
        HWND form = watch.WaitForWindow(model.caption);
        if (!form) {
          problems.push_back("no system editor came up");
          return;
        }
        CheckControls(form, model, problems);
        PhotographEveryPanel(form, "sysconfig", problems);
        std::map<std::string, HWND> controls = ControlsOf(form);
        // The folder list shows its number and path; the whole path is hidden.
        HWND header =
            reinterpret_cast<HWND>(SendMessageW(controls["fgridFolder"], LVM_GETHEADER, 0, 0));
        if (SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) != 2) {
          problems.push_back("fgridFolder does not show 2 columns");
        }
        // A click on the command prompt box, as the mouse makes it.
        SendMessageW(controls["chkUseAccess(0)"], BM_CLICK, 0, 0);
        blocked = SendMessageW(controls["chkUseAccess(0)"], BM_GETCHECK, 0, 0) == BST_CHECKED;
        const bool folders =
            SendMessageW(controls["chkFolder(0)"], BM_GETCHECK, 0, 0) == BST_CHECKED;
        const bool applet =
            (SendMessageW(controls["fgrid(0)"], LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK) >> 12) ==
            2;
        // The applet cell edited and put back, a folder added twice (the second time
        // in other letter case) and removed again, then OK and "apply after reboot".
        std::string script = std::string("cell fgrid(0) 0 check ") + (applet ? "False" : "True") +
                             "\ncell fgrid(0) 0 check " + (applet ? "True" : "False") + "\ntab 2\n";
        if (!folders) script += "check chkFolder(0)\n";
        script +=
            "add C:\\DavEditorTest\nadd c:\\daveditortest\n"
            "current fgridFolder 1 1\nclick cmdDelete\n";
        if (!folders) script += "uncheck chkFolder(0)\n";
        script += "ok\n";
        WindowScript steps(watch, ParseScript(script));
        steps.RunOn(form);
        if (!steps.error().empty()) problems.push_back(steps.error());
        messages = steps.messages();
        HWND msg = ActiveWindowOf(watch.thread());
        if (!msg || WindowText(msg) != choice.caption) {
          problems.push_back("no apply-choice dialog after OK");
          return;
        }
        CheckControls(msg, choice, problems);
        Screenshot(msg, "screenshots\\frmmsg.png");
        WindowScript choose(watch, ParseScript("choose 7"));
        choose.RunOn(msg);
        if (!choose.error().empty()) problems.push_back(choose.error());
      });
  const long after = DisableCmd();
  EXPECT_EQ(Join(problems), "");
  EXPECT_EQ(messages, std::vector<std::string>{"DavIrizevez: 중복된 경로입니다."})
      << "the duplicate path is refused with a message";
  EXPECT_EQ(after, blocked ? 1 : 0) << "the command prompt policy as the box was left";
  EXPECT_NE(host.Saved("SysConfig.qsf").find(SavedRow("CmdPrompt", blocked)), std::string::npos)
      << host.Saved("SysConfig.qsf");
  EXPECT_EQ(host.Saved("SysConfig.qsf").find("DavEditorTest"), std::string::npos);
  EXPECT_EQ(host.notices, std::vector<std::string>{"DavIrizevez APL_FASETTING 1"});
}

TEST_F(EditorWindowsTest, WindowEditorOfTheDllIsShownDrivenAndApplied) {
  const frmWinConfig model(modelContext_);
  RegistryKeeper keep;
  ASSERT_GT(keep.size(), 0u) << DAV_TOUCHED_KEYS;
  std::vector<std::string> problems;
  bool fileOption = false;
  std::string chosenMode;
  UiThreadWatch watch;
  DllHost host;
  RunWithDriver([&] { host.Handle("WINCONFIG"); },
                [&] {
                  HWND form = watch.WaitForWindow(model.caption);
                  if (!form) {
                    problems.push_back("no window editor came up");
                    return;
                  }
                  CheckControls(form, model, problems);
                  PhotographEveryPanel(form, "winconfig", problems);
                  std::map<std::string, HWND> controls = ControlsOf(form);
                  SendMessageW(controls["chkFile(1)"], BM_CLICK, 0, 0);
                  fileOption =
                      SendMessageW(controls["chkFile(1)"], BM_GETCHECK, 0, 0) == BST_CHECKED;
                  // Another resolution, picked from the list as the mouse does.
                  HWND list = controls["cboWinSkill(0)"];
                  const auto items = SendMessageW(list, CB_GETCOUNT, 0, 0);
                  const auto current = SendMessageW(list, CB_GETCURSEL, 0, 0);
                  if (items > 1) {
                    const WPARAM pick = current == 0 ? 1 : 0;
                    SendMessageW(list, CB_SETCURSEL, pick, 0);
                    SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(list));
                    chosenMode = WindowText(list);
                  }
                  WindowScript steps(watch, ParseScript("ok\nchoose 7"));
                  steps.RunOn(form);
                  steps.CloseAll();
                  if (!steps.error().empty()) problems.push_back(steps.error());
                });
  EXPECT_EQ(Join(problems), "");
  const std::string saved = host.Saved("WinConfig.qsf");
  EXPECT_NE(saved.find(SavedRow(kFileRows[1].id, fileOption)), std::string::npos) << saved;
  if (!chosenMode.empty()) {
    const std::string width = chosenMode.substr(0, chosenMode.find(' '));
    EXPECT_NE(saved.find(width), std::string::npos) << "the resolution " << chosenMode;
  }
  for (const std::string& notice : host.notices) {
    EXPECT_EQ(notice.find("APL_FASETTING"), std::string::npos) << "WINCONFIG posts no " << notice;
  }
}

// The same scenarios through the script driver and through the windows: the same document,
// apply choice and messages.
TEST_F(EditorWindowsTest, TheWindowsGiveWhatTheScriptDriverGives) {
  const std::string applets = Document(
      "<ControlMngr><WinXP><CPLList ID=\"access.cpl\" DisplayName=\"내게 필요한 옵션\" "
      "Value=\"1\"/><CPLList ID=\"desk.cpl\" DisplayName=\"디스플레이\" Value=\"0\"/></WinXP>"
      "<Win7><CPLList ID=\"x\" DisplayName=\"X\" Value=\"0\" Disabllowcpl=\"1\"/></Win7>"
      "</ControlMngr>");
  const struct {
    bool system;
    std::string document;
    std::string script;
  } cases[] = {
      {true, applets,
       "click chkUseAccess(0)\ncell fgrid(0) 0 check False\ntab 2\ncheck chkFolder(0)\n"
       "add C:\\Temp\\A\nadd c:\\temp\\a\nadd D:\\Data\ncurrent fgridFolder 1 1\n"
       "click cmdDelete\nok\nchoose 7"},
      {true, applets, "menu 1\nclick cmdZeroSelect(1)\ncheck chkUseAccess(5)\nok\nchoose 6"},
      {true, applets, "check chkUseAccess(2)\nclose"},
      {false, Document(""), "click chkFile(1)\nselect cboWinSkill(0) \"800 x 600\"\nok\nchoose 7"},
      {false, Document(""),
       "tab 2\nmenu 1\ncheck chkExplorer(0)\ntext txtExplorer(0) \"제목 표시\"\n"
       "click optStartMenu(1)\nok\nchoose 6"},
      {false, Document(""), "check chkStartMenu(1)\ncancel"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    dav::editors::testing::RecordingDialogs scriptDialogs;
    ScriptUi script(ParseScript(c.script), scriptDialogs);
    EditorContext scriptContext{log_, script, catalogue_.get(), request_, choice_};
    choice_ = 0;
    const std::string expected = c.system ? frmSysConfig(scriptContext).ShowForm(c.document)
                                          : frmWinConfig(scriptContext).ShowForm(c.document);
    const std::int32_t expectedChoice = choice_;

    Win32FormUi ui;
    EditorContext windowContext{log_, ui, catalogue_.get(), request_, choice_};
    choice_ = 0;
    UiThreadWatch watch;
    WindowScript steps(watch, ParseScript(c.script));
    std::string shown;
    frmSysConfig system(windowContext);
    frmWinConfig window(windowContext);
    Form& form = c.system ? static_cast<Form&>(system) : static_cast<Form&>(window);
    const std::string title = form.caption;
    RunWithDriver(
        [&] { shown = c.system ? system.ShowForm(c.document) : window.ShowForm(c.document); },
        [&] { steps.Run(title); });
    EXPECT_EQ(steps.error(), "");
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(choice_, expectedChoice);
    EXPECT_EQ(steps.messages(), script.messages());
  }
}

}  // namespace
}  // namespace dav::editors::win32::testing
