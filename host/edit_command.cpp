#include "host/edit_command.h"

#include <unistd.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>

#include "display/cls_available_info.h"
#include "editors/control_list.h"
#include "editors/editor_context.h"
#include "editors/frm_msg.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "host/command_error.h"
#include "host/component_run.h"
#include "host/document_text.h"
#include "host/edit_added_sections.h"
#include "host/editor_ui.h"
#include "host/host_files.h"
#include "host/text_table.h"
#include "util/log.h"
#include "xml/document.h"
#include "xml/encoding.h"

namespace dav::host {
namespace {

struct EditOptions {
  std::string file;
  std::string output;
  std::string ui;
  std::string listControls;  // window, system, msg; empty: all three
  bool listing = false;
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

// A log folder of its own on the machine for the editor's lines, so that what the editor
// logged can be read back; removed with the object.
class EditorLog {
 public:
  explicit EditorLog(platform::Platform& platform)
      : platform_(platform),
        folder_("C:\\Windows\\Temp\\davhost-edit-" + std::to_string(getpid())),
        log_(platform, folder_) {
    try {
      MakeMachineFolders(platform.files(), folder_);
    } catch (const CommandError&) {
      // A machine that cannot take the folder drops the lines; nothing is read back.
    }
  }
  ~EditorLog() {
    auto& files = platform_.files();
    files.Delete(log_.LogFilePath());
    files.Delete(log_.DebugLogPath());
    files.RemoveFolder(folder_ + "\\log");
    files.RemoveFolder(folder_);
  }
  EditorLog(const EditorLog&) = delete;
  EditorLog& operator=(const EditorLog&) = delete;

  util::Log& log() { return log_; }

  // The error lines logged so far, the log's before the debug log's.
  std::vector<std::string> Errors() {
    std::vector<std::string> errors;
    for (const std::string& path : {log_.LogFilePath(), log_.DebugLogPath()}) {
      CollectLoggedErrors(platform_, path, 0, &errors);
    }
    return errors;
  }

 private:
  platform::Platform& platform_;
  std::string folder_;
  util::Log log_;
};

// The document text with the encoding its declaration names replaced (or the declaration's
// encoding added).
std::string WithEncoding(std::string text, const std::string& encoding) {
  const std::size_t end = text.find("?>");
  if (!text.starts_with("<?xml") || end == std::string::npos) return text;
  const std::size_t at = text.find("encoding=\"");
  if (at != std::string::npos && at < end) {
    const std::size_t from = at + 10;
    const std::size_t to = text.find('"', from);
    return text.replace(from, to - from, encoding);
  }
  return text.insert(end, " encoding=\"" + encoding + "\"");
}

std::string ReadBytes(const std::string& file) {
  std::ifstream in(HostPath(file), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Shows a form only to list its controls (loaded, so that its tabs have their captions),
// then closes it.
class ListingUi : public editors::FormUi {
 public:
  void Show(editors::frmWinConfig& form) override { List(form); }
  void Show(editors::frmSysConfig& form) override { List(form); }
  void Show(editors::frmMsg& form) override { List(form); }
  int ShowMessage(std::string_view, std::string_view, std::uint32_t) override {
    return platform::kIdOk;
  }
  std::string BrowseForFolder(std::string_view) override { return {}; }

  std::string text;

 private:
  void List(editors::Form& form) {
    std::vector<TableRow> rows{{"NAME", "INDEX", "KIND", "CAPTION", "TAB"}};
    for (const editors::ControlInfo& control : editors::ListControls(form)) {
      rows.push_back({control.name, std::to_string(control.index), KindName(control.kind),
                      control.caption.empty() ? "-" : control.caption,
                      control.tab >= 0    ? PlaceText(form, control)
                      : form.tabs.empty() ? "-"
                                          : "(every tab)"});
    }
    text += form.name() + ":\n" + FormatTable(rows, 2);
    form.CloseBox();
  }
};

void RunListControls(HostContext& context, const std::string& which) {
  ListingUi ui;
  platform::Platform& platform = context.platform();
  // The forms load an empty document; what they log about it is of no interest here.
  util::Log log(platform, "C:\\");
  util::Log::Mute mute(log);
  clsAvailableInfo catalogue(platform.display(), platform.clock());
  catalogue::DisplayRequest request;
  std::int32_t choice = 0;
  editors::EditorContext editorContext{log, ui, &catalogue, request, choice};
  if (which.empty() || which == "window") editors::frmWinConfig(editorContext).ShowForm("");
  if (which.empty() || which == "system") editors::frmSysConfig(editorContext).ShowForm("");
  if (which.empty() || which == "msg") editors::frmMsg(editorContext).ShowForm();
  std::cout << ui.text;
}

void RunEdit(HostContext& context, const EditOptions& options) {
  if (options.listing) return RunListControls(context, options.listControls);
  if (options.file.empty()) throw CommandError("FILE is required (or --list-controls)");
  const std::string text = ReadDocumentText(options.file);
  const bool window = IsWindowDocument(options.file, text);
  PrintedDialogs dialogs;
  const std::string purpose =
      std::string("edit opens the ") + (window ? "window" : "system") + " settings editor";
  const EditorUi editor =
      ChooseEditorUi(dialogs, options.ui,
                     {HostPathText(std::filesystem::absolute(HostPath(context.machineFolder))),
                      std::string(), [&context] { context.Idle(); }},
                     purpose);

  platform::Platform& platform = context.platform();
  // The editors' log lines go to a folder of their own, read back and removed: the
  // machine's component folder is left alone.
  EditorLog editorLog(platform);
  util::Log& log = editorLog.log();
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
  if (const std::vector<std::string> errors = editorLog.Errors(); !errors.empty()) {
    // Loading stops at the first missing attribute or section, and every setting after it
    // falls back to its default: writing would silently lose them.
    for (const std::string& error : errors) {
      std::cerr << "davhost: warning: the editor logged: " << error << "\n";
    }
    std::cerr << "davhost: the editor did not read all of '" << options.file
              << "' (settings after the fault would fall back to defaults); '" << target
              << "' was not written\n";
    throw CommandExit(4);
  }
  if (edited.empty()) {
    std::cerr << "davhost: the editor closed without OK; '" << target << "' was not written\n";
    return;
  }
  // The document keeps the encoding its file declared (UTF-8 when it declared none).
  const std::string declared = xml::DeclaredEncoding(text);
  edited = WithEncoding(edited, declared.empty() ? "utf-8" : declared);
  const auto codePage = xml::CodePageOfEncoding(xml::DeclaredEncoding(edited));
  std::string bytes;
  if (!codePage || !xml::EncodeDocumentText(*codePage, edited, &bytes)) {
    throw CommandError("the edited document's encoding is not supported");
  }
  std::string error;
  if (options.output.empty()) {
    // FILE is overwritten: its previous bytes are kept beside it first.
    if (!WriteHostFile(options.file + ".bak", ReadBytes(options.file), &error)) {
      throw CommandError(error);
    }
  }
  if (!WriteHostFile(target, bytes, &error)) throw CommandError(error);
  for (const std::string& warning : AddedSectionWarnings(text, edited)) {
    std::cerr << "davhost: warning: " << warning << "\n";
  }
}

}  // namespace

void AddEditCommand(CLI::App& app, HostContext& context) {
  auto options = std::make_shared<EditOptions>();
  CLI::App* edit = app.add_subcommand(
      "edit",
      "Open the window or system settings editor on a document file of this computer and write "
      "the document OK builds, in the encoding FILE declares (without -o, FILE's old bytes are "
      "kept as FILE.bak); the machine is not changed. Exit 4, nothing written, when the editor "
      "logged an error (loading stopped part-way: the settings after the fault would be lost). "
      "Sections FILE lacks come back filled with a fresh PC's values; each is warned of with "
      "what applying it changes");
  edit->add_option("FILE", options->file, "The document file (window or system document)");
  edit->add_option("-o,--output", options->output, "Write here instead of over FILE");
  edit->add_option("--ui", options->ui,
                   "script:FILE carries out the actions of FILE; without it the desktop editor "
                   "opens when a display is available");
  CLI::Option* list =
      edit->add_option("--list-controls", options->listControls,
                       "Print every control a --ui script can name (name, index, kind, caption, "
                       "tab) of the window or system settings editor or the apply-choice "
                       "dialog (msg); all three without a value. Nothing is edited")
          ->expected(0, 1)
          ->check(CLI::IsMember({"window", "system", "msg"}));
  edit->footer(
      "Example:\n  davhost edit --list-controls system\n  davhost edit lab.qsf -o lab2.qsf --ui "
      "script:block.txt");
  edit->callback([&context, options, list] {
    options->listing = list->count() > 0;
    RunEdit(context, *options);
  });
}

}  // namespace dav::host
