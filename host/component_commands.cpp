#include "host/component_commands.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "core/component.h"
#include "host/change_recorder.h"
#include "host/change_report.h"
#include "host/client_options.h"
#include "host/command_error.h"
#include "host/component_run.h"
#include "host/desktop_command.h"
#include "host/document_text.h"
#include "host/drift_command.h"
#include "host/editor_ui.h"
#include "host/exit_codes.h"
#include "host/host_files.h"
#include "host/json_option.h"
#include "host/legacy_command.h"
#include "host/log_command.h"
#include "host/report_command.h"
#if DAV_PLATFORM_SIM
#include "host/plan_command.h"
#endif
#include "host/produced_document.h"
#include "host/session_line.h"
#include "host/startup_command.h"
#include "host/text_table.h"

namespace dav::host {
namespace {

// --- identity -------------------------------------------------------------------------

void RunIdentity(HostContext& context, const ClientOptions& client) {
  const ClientSettings settings = client.Resolve(context.platform());
  const core::CCDavIrizevez component(context.platform(), settings.ComponentFolder());
  std::cout << FormatTable({{"Company", component.Company()},
                            {"Name", component.Name()},
                            {"Version", component.Version()},
                            {"Installed", component.Installed() ? "True" : "False"}},
                           0);
}

// --- handle ---------------------------------------------------------------------------

// -o FILE only for the commands that produce a document.
void CheckOutputFile(const HandleOptions& options) {
  if (!options.outputOption || !options.outputOption->count()) return;
  if (options.outputFile.empty()) throw CommandError("-o must not be empty");
  if (!ProducesDocument(options.command)) {
    throw CommandError(
        "-o saves the document of REQ_SYSCONF, REQ_WINCONF (or their _SAVE "
        "forms) or MAKE_QSF, not of " +
        options.command);
  }
}

// The reply of a command whose document -o saves is kept back from the output, and the
// document written to the file once the lifetime has ended.
int HandleSavingDocument(HostContext& context, const ClientSettings& settings,
                         const HandleOptions& options, const std::string& protocol,
                         const std::function<void(ComponentRun&)>& prepare, HostOutput& out,
                         MachineChanges* changes) {
  const bool save = options.outputOption && options.outputOption->count() > 0;
  ReplyKeeper keeper(out);
  const int code =
      HandleAndReport(context.platform(), settings, options.command, protocol, options.quiet,
                      options.verbose, std::cerr, prepare, save ? keeper : out, changes);
  if (!save) return code;
  const std::string encoding =
      SaveProducedDocument(context.platform(), settings.ComponentFolder(), options.command,
                           keeper.replies(), options.outputFile);
  if (!options.json) {
    std::cout << "Saved the document of " << options.command << " to " << options.outputFile << " ("
              << encoding << ")\n";
  }
  return code;
}

void RunHandle(HostContext& context, const ClientOptions& client, const HandleOptions& options) {
  CheckOutputFile(options);
  context.RequireWritable();  // the component writes its logs and documents
  const std::string protocol = HandleProtocol(options);
  const ClientSettings settings = client.Resolve(context.platform());
  // The editor commands need something to show the editor; it is chosen before the
  // component starts, so that a missing one changes nothing.
  std::optional<EditorUi> editor;
  if (options.command == "WINCONFIG" || options.command == "SYSCONFIG" || !options.ui.empty()) {
    editor =
        ChooseEditorUi(context.platform().dialogs(), options.ui,
                       {HostPathText(std::filesystem::absolute(HostPath(context.machineFolder))),
                        settings.ComponentFolder(), [&context] { context.Idle(); }},
                       options.command + " opens an editor");
  }
  const auto prepare = [&editor](ComponentRun& run) {
    if (editor) run.SetFormUi(editor->ui);
  };
  if (!options.json) {
    TextHostOutput out(std::cout, std::cerr);
    context.ReportExit(
        HandleSavingDocument(context, settings, options, protocol, prepare, out, nullptr));
  } else {
    JsonHostOutput out;
    MachineChanges changes;
    context.ReportExit(
        HandleSavingDocument(context, settings, options, protocol, prepare, out, &changes));
    PrintJson(out.Document(context.exitCode, ChangesJson(changes)));
  }
  if (editor) CheckEditorRan(*editor, std::cerr);
}

// --- session --------------------------------------------------------------------------

// A bad line ends the session; the lines before it have already been carried out (a person
// may be driving the session line by line), so the error says so.
CommandError BadSessionLine(long number, const std::string& why, bool started) {
  return CommandError("session line " + std::to_string(number) + ": " + why +
                      (started ? "; the lines before it were carried out, the rest were not"
                               : "; no line was carried out"));
}

void RunSessionLines(HostContext& context, const ClientSettings& settings, HostOutput& out) {
  // The component starts with the first good line, so that a bad first line changes nothing.
  std::optional<ComponentRun> run;
  std::string text;
  for (long number = 1;; ++number) {
    // A person may take a while to type the next line.
    context.Idle();
    if (!std::getline(std::cin, text)) break;
    SessionLine line;
    std::string error;
    if (!ParseSessionLine(text, &line, &error))
      throw BadSessionLine(number, error, run.has_value());
    if (line.blank) continue;
    std::string protocol = line.protocol;
    if (!line.documentFile.empty()) {
      try {
        protocol = ReadDocumentText(line.documentFile) + protocol;
      } catch (const CommandError& e) {
        throw BadSessionLine(number, e.what(), run.has_value());
      }
    }
    if (!run) run.emplace(context.platform(), settings, out);
    context.ReportExit(run->Handle(line.command, protocol).ExitCode());
  }
  // A session without commands is still one lifetime: initialise, then terminate.
  if (!run) run.emplace(context.platform(), settings, out);
  context.ReportExit(run->Terminate());
}

void RunSession(HostContext& context, const ClientOptions& client, bool json) {
  context.RequireWritable();
  const ClientSettings settings = client.Resolve(context.platform());
  if (!json) {
    TextHostOutput out(std::cout, std::cerr);
    RunSessionLines(context, settings, out);
    return;
  }
  JsonHostOutput out;
  RunSessionLines(context, settings, out);
  PrintJson(out.Document(context.exitCode));
}

}  // namespace

void AddHandleArguments(CLI::App& command, HandleOptions& options) {
  command
      .add_option("CMD", options.command,
                  "The command, as REQ_WINCONF (case-sensitive). One davhost does not know is "
                  "delivered all the same (the component may be newer) with a warning and exit "
                  "code 3")
      ->required();
  options.protocolOption =
      command.add_option("PROTOCOL", options.protocol, "The command's protocol text");
  command
      .add_option("--doc", options.documentFile,
                  "A document file of this computer as the protocol (decoded by its declared "
                  "encoding)")
      ->check(CLI::ExistingFile);
  options.restartOption =
      command
          .add_option("--restart", options.restart,
                      "Append the character 29 and this flag, the protocol's second field: "
                      "APL_WINCONF and APL_SYSCONF need it to go on after applying. True "
                      "restarts the shell (APL_WINCONF changes the display mode first), False "
                      "does not; without it they stop after applying, before their last "
                      "notices")
          ->check(CLI::IsMember({"True", "False"}, CLI::ignore_case));
}

std::string HandleProtocol(const HandleOptions& options) {
  if (options.protocolOption->count() && !options.documentFile.empty()) {
    throw CommandError("give either PROTOCOL or --doc, not both");
  }
  std::string protocol =
      options.documentFile.empty() ? options.protocol : ReadDocumentText(options.documentFile);
  if (options.restartOption->count()) protocol += "\x1d" + options.restart;
  return protocol;
}

int HandleAndReport(platform::Platform& machine, const ClientSettings& settings,
                    const std::string& command, const std::string& protocol, bool quiet,
                    bool detailed, std::ostream& report,
                    const std::function<void(ComponentRun&)>& prepare, HostOutput& out,
                    MachineChanges* changes,
                    const std::function<void(platform::Platform&)>& beforeStart) {
  RowTrail trail;
  std::vector<std::string> errors;
  MachineChanges made;
  int code = 0;
  {
    ComponentRun run(machine, settings, out, beforeStart);
    run.SetRowObserver(&trail);
    if (prepare) prepare(run);
    const CommandOutcome outcome = run.Handle(command, protocol);
    errors = outcome.loggedErrors;
    code = WorseExit(outcome.ExitCode(), run.Terminate());
    made = run.Changes();
  }
  std::cout.flush();
  const std::string text = ChangeReport(made, errors, trail, protocol, detailed);
  if (!quiet) {
    report << text;
  } else {
    // Quiet leaves the counts out; the errors still say where the document failed.
    report << text.substr(text.find('\n') + 1);
  }
  report.flush();
  if (changes) *changes = std::move(made);
  return code;
}

void AddComponentCommands(CLI::App& app, HostContext& context) {
  const std::shared_ptr<ClientOptions> client = ClientOptions::Add(app);

  app.add_subcommand("identity", "Print the component's Company, Name, Version and Installed")
      ->callback([&context, client] { RunIdentity(context, *client); });

  auto handle = std::make_shared<HandleOptions>();
  CLI::App* handleCommand = app.add_subcommand(
      "handle",
      "Run one component lifetime (initialise, one command, terminate); print notices and "
      "replies as they come");
  AddHandleArguments(*handleCommand, *handle);
  handleCommand->add_option(
      "--ui", handle->ui,
      "What shows the editor of WINCONFIG and SYSCONFIG: script:FILE carries out the actions of "
      "FILE (check, uncheck, click, select, text, cell, add, browse, ok, cancel, close, choose; "
      "see the README); without it the desktop editor opens when a display is available");
  handleCommand->add_flag("--quiet", handle->quiet,
                          "No change report on stderr after the command (errors still shown)");
  handleCommand->add_flag("--verbose", handle->verbose,
                          "The change report names every change (old -> new), not only counts");
  handle->outputOption = handleCommand->add_option(
      "-o,--output", handle->outputFile,
      "REQ_SYSCONF, REQ_WINCONF (or _SAVE), MAKE_QSF: save the document to this file of this "
      "computer in its declared encoding, ready for --doc, instead of printing the reply");
  AddJsonFlag(handleCommand, &handle->json);
  handleCommand->callback([&context, client, handle] { RunHandle(context, *client, *handle); });
#if DAV_PLATFORM_SIM
  AddPlanCommand(app, context, client);
#endif

  auto sessionJson = std::make_shared<bool>(false);
  CLI::App* sessionCommand = app.add_subcommand(
      "session",
      "Run one component lifetime over the commands of stdin, one per line: CMD TAB PROTOCOL, "
      "with \\t \\n \\r \\xHH \\\\ escapes and @FILE for a document file");
  AddJsonFlag(sessionCommand, sessionJson.get());
  sessionCommand->callback(
      [&context, client, sessionJson] { RunSession(context, *client, *sessionJson); });

  AddLogCommand(app, context, client);
  AddDesktopCommand(app, context, client);
  AddStartupCommand(app, context, client);
  AddLegacyCommand(app, context, client);
  AddDriftCommand(app, context, client);
  AddReportCommand(app, context, client);
}

}  // namespace dav::host
