// The desktop editor as a program of its own (davedit, built with the UI toolkit): davhost
// hands it the form's document in a file and reads back what the editor's OK left.
//
//   davedit winconfig|sysconfig --machine DIR --component-folder PATH --in FILE --out FILE
//
// The result file: the lines "choice N", "width W", "height H", "bits B", "refresh R"
// (values that OK did not set are left out), the line "document", then the document that
// the editor returned (empty after Cancel).
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "editors/editor_context.h"
#include "editors/frm_msg.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "host/command_error.h"
#include "host/editor_ui.h"
#include "host/host_files.h"
#include "platform/dialogs.h"

#ifdef _WIN32
#include "editors/win32/win32_form_ui.h"
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace dav::host {
namespace {

#ifndef _WIN32

bool DisplayAvailable() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// DAVHOST_EDITOR, else davedit beside davhost or in the build's editors/qt folder.
std::filesystem::path FindEditorProgram() {
  if (const char* named = std::getenv("DAVHOST_EDITOR"); named && *named) return named;
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  for (const std::filesystem::path& candidate :
       {self.parent_path() / "davedit", self.parent_path().parent_path() / "editors/qt/davedit"}) {
    if (std::filesystem::exists(candidate, error)) return candidate;
  }
  return {};
}

class DesktopEditorUi : public editors::FormUi {
 public:
  DesktopEditorUi(DesktopEditorPlace place, std::filesystem::path program)
      : place_(std::move(place)), program_(std::move(program)) {}

  void Show(editors::frmWinConfig& form) override { Run("winconfig", form); }
  void Show(editors::frmSysConfig& form) override { Run("sysconfig", form); }
  // The choice dialog opens inside the editor program.
  void Show(editors::frmMsg& form) override { form.CloseBox(); }
  int ShowMessage(std::string_view, std::string_view, std::uint32_t) override {
    return platform::kIdOk;
  }
  std::string BrowseForFolder(std::string_view) override { return {}; }

  const std::string& error() const { return error_; }

 private:
  template <typename Form>
  void Run(const char* which, Form& form) {
    error_.clear();
    try {
      form.TakeOutput(Edit(which, form.input(), form.context()));
    } catch (const std::exception& e) {
      error_ = e.what();
    }
    if (form.isOpen()) form.CloseBox();
  }

  std::string Edit(const char* which, const std::string& input, editors::EditorContext& context) {
    std::error_code ignored;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("davhost-editor-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    struct Cleanup {
      std::filesystem::path folder;
      ~Cleanup() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
      }
    } cleanup{folder};
    const std::string in = HostPathText(folder / "in.xml");
    const std::string out = HostPathText(folder / "out.txt");
    std::string error;
    if (!WriteHostFile(in, input, &error)) throw CommandError(error);

    const std::string program = HostPathText(program_);
    std::vector<std::string> args{program,
                                  which,
                                  "--machine",
                                  place_.machineFolder,
                                  "--component-folder",
                                  place_.componentFolder,
                                  "--in",
                                  in,
                                  "--out",
                                  out};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (place_.beforeWait) place_.beforeWait();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      throw CommandError("cannot start the editor '" + program + "'");
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      throw CommandError("the editor '" + program + "' failed");
    }
    std::string result;
    if (!ReadHostFile(out, &result, &error)) throw CommandError(error);
    return ReadResult(result, context);
  }

  // Takes the choice and display request of the result; returns its document.
  static std::string ReadResult(const std::string& result, editors::EditorContext& context) {
    std::istringstream lines(result);
    std::string line;
    while (std::getline(lines, line) && line != "document") {
      const std::size_t blank = line.find(' ');
      const std::string key = line.substr(0, blank);
      const std::string value = blank == std::string::npos ? std::string() : line.substr(blank + 1);
      if (key == "choice") context.closingChoice = std::stoi(value);
      if (key == "width") context.displayRequest.width = value;
      if (key == "height") context.displayRequest.height = value;
      if (key == "bits") context.displayRequest.colorBits = value;
      if (key == "refresh") context.displayRequest.refresh = value;
    }
    if (line != "document") throw CommandError("the editor left no document");
    const auto at = static_cast<std::size_t>(lines.tellg());
    return at < result.size() ? result.substr(at) : std::string();
  }

  DesktopEditorPlace place_;
  std::filesystem::path program_;
  std::string error_;
};

#endif

}  // namespace

std::shared_ptr<editors::FormUi> MakeDesktopEditorUi(const DesktopEditorPlace& place,
                                                     std::string* why,
                                                     std::function<std::string()>* error) {
#ifdef _WIN32
  // The native dialogs in davhost's own process, on the desktop it runs on.
  (void)place;
  (void)error;
  if (!editors::win32::Win32FormUi::DesktopAvailable()) {
    *why = "no desktop is available";
    return nullptr;
  }
  return std::make_shared<editors::win32::Win32FormUi>();
#else
  if (!DisplayAvailable()) {
    *why = "no display is available";
    return nullptr;
  }
  const std::filesystem::path program = FindEditorProgram();
  if (program.empty()) {
    *why = "the desktop editor (davedit) is not installed";
    return nullptr;
  }
  auto ui = std::make_shared<DesktopEditorUi>(place, program);
  *error = [ui] { return ui->error(); };
  return ui;
#endif
}

}  // namespace dav::host
