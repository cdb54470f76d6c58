#include "host/edit_command.h"

#include <iostream>
#include <memory>

#include "display/cls_available_info.h"
#include "editors/editor_context.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "host/command_error.h"
#include "host/document_text.h"
#include "host/editor_ui.h"
#include "host/host_files.h"
#include "util/log.h"
#include "xml/document.h"
#include "xml/encoding.h"

namespace dav::host {
namespace {

struct EditOptions {
  std::string file;
  std::string output;
  std::string ui;
};

// Message boxes of a script on stderr rather than in the machine's journal.
class PrintedDialogs : public platform::Dialogs {
 public:
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t) override {
    std::cerr << "davhost: message box '" << title << "': " << text << "\n";
    return platform::kIdOk;
  }
};

// True for a window document, false for a system document, told apart by their sections.
bool IsWindowDocument(const std::string& file, const std::string& text) {
  xml::Document doc;
  if (!doc.loadXML(text)) {
    throw CommandError("'" + file + "' does not load: " + doc.parseError().reason);
  }
  const auto has = [&doc](std::initializer_list<const char*> sections) {
    for (const char* section : sections) {
      if (doc.selectSingleNode(std::string("DocRoot/Configuration/") + section)) return true;
    }
    return false;
  };
  const bool window = has({"StartMenu", "StartProgramManager", "WinSkill", "ExplorerConfig",
                           "FileOpt", "DesktopIconManager"});
  const bool system = has({"ControlMngr", "UsedAccess", "FolderAccess"});
  if (window == system) {
    throw CommandError("'" + file + "' is " +
                       (window ? std::string("both a window and a system document")
                               : std::string("neither a window nor a system document")) +
                       ": no editor matches it");
  }
  return window;
}

void RunEdit(HostContext& context, const EditOptions& options) {
  if (options.file.empty()) throw CommandError("FILE is empty");
  const std::string text = ReadDocumentText(options.file);
  const bool window = IsWindowDocument(options.file, text);
  PrintedDialogs dialogs;
  const std::string purpose =
      std::string("edit opens the ") + (window ? "window" : "system") + " settings editor";
  const EditorUi editor = ChooseEditorUi(
      dialogs, options.ui,
      {HostPathText(std::filesystem::absolute(HostPath(context.machineFolder))), std::string()},
      purpose);

  platform::Platform& platform = context.platform();
  // The editors' log lines go nowhere: the machine's component folder is left alone.
  util::Log log(platform, "Q:\\davhost-edit-no-log");
  clsAvailableInfo catalogue(platform.display(), platform.clock());
  catalogue::DisplayRequest request;
  std::int32_t choice = 0;
  editors::EditorContext editorContext{log, *editor.ui, &catalogue, request, choice};
  std::string edited;
  try {
    if (window) {
      editors::frmWinConfig form(editorContext);
      edited = form.ShowForm(text);
    } else {
      editors::frmSysConfig form(editorContext);
      edited = form.ShowForm(text);
    }
  } catch (const std::exception&) {
    // The editor's own failure is told below.
  }
  CheckEditorRan(editor, std::cerr);
  const std::string target = options.output.empty() ? options.file : options.output;
  if (edited.empty()) {
    std::cerr << "davhost: the editor closed without OK; '" << target << "' was not written\n";
    return;
  }
  const auto codePage = xml::CodePageOfEncoding(xml::DeclaredEncoding(edited));
  std::string bytes;
  if (!codePage || !xml::EncodeDocumentText(*codePage, edited, &bytes)) {
    throw CommandError("the edited document's encoding is not supported");
  }
  std::string error;
  if (!WriteHostFile(target, bytes, &error)) throw CommandError(error);
}

}  // namespace

void AddEditCommand(CLI::App& app, HostContext& context) {
  auto options = std::make_shared<EditOptions>();
  CLI::App* edit = app.add_subcommand(
      "edit",
      "Open the window or system settings editor on a document file of this computer and write "
      "the document OK builds, in its declared encoding; the machine is not changed");
  edit->add_option("FILE", options->file, "The document file (window or system document)")
      ->required();
  edit->add_option("-o,--output", options->output, "Write here instead of over FILE");
  edit->add_option("--ui", options->ui,
                   "script:FILE carries out the actions of FILE; without it the desktop editor "
                   "opens when a display is available");
  edit->callback([&context, options] { RunEdit(context, *options); });
}

}  // namespace dav::host
