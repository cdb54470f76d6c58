#include "host/legacy_command.h"

#include <functional>
#include <iostream>
#include <string>

#include "host/change_report.h"
#include "host/command_error.h"
#include "host/component_run.h"
#include "host/document_text.h"
#include "host/exit_codes.h"
#include "xml/document.h"

namespace dav::host {
namespace {

using Operation = std::function<void(core::CCDavIrizevez&)>;

// The sections only the legacy document has; a window or system document shares none.
constexpr const char* kLegacySections[] = {
    "SysMngr",  "WindowShell", "FolderSet", "DisplayConfig",  "DiskMngr", "DisplayControl",
    "NPConfig", "Appwiz",      "IExConfig", "InternetOption", "FileOrder"};

// A document that loads but holds none of the legacy sections is most likely a window or
// system document given to the wrong command: it is applied all the same (it may be meant),
// with a warning. A document that does not load is the component's to report.
void WarnWithoutLegacySections(const xml::Document& doc) {
  for (const char* section : kLegacySections) {
    if (doc.selectSingleNode(std::string("DocRoot/Configuration/") + section)) return;
  }
  std::cerr << "davhost: warning: the document holds no section of the legacy settings "
               "document (SysMngr, WindowShell, FolderSet, DisplayConfig, DiskMngr ...); a "
               "window or system document is applied with handle APL_WINCONF or APL_SYSCONF\n";
}

void RunOperation(HostContext& context, const ClientOptions& client, const Operation& operation) {
  const ClientSettings settings = client.Resolve(context.platform());
  TextHostOutput out(std::cout, std::cerr);
  ComponentRun run(context.platform(), settings, out);
  const CommandOutcome outcome = run.Call(operation);
  context.ReportExit(WorseExit(outcome.ExitCode(), run.Terminate()));
  std::cout.flush();
  std::cerr << ChangeReport(run.Changes(), {}, RowTrail(), "", false);
}

// The component loads the document itself, from the machine: a path that names no file there
// is refused before the component starts.
void RequireMachineFile(platform::Platform& platform, const std::string& path) {
  const std::uint32_t attributes = platform.files().GetAttributes(path);
  if (attributes == platform::kInvalidAttributes || (attributes & platform::kAttrDirectory)) {
    throw CommandError("'" + path +
                       "' is no file of the machine (davhost fs put copies one there)");
  }
}

void AddMachineFileCommand(CLI::App& legacy, HostContext& context,
                           std::shared_ptr<ClientOptions> client, const std::string& name,
                           const std::string& description,
                           void (core::CCDavIrizevez::*apply)(const std::string&)) {
  auto path = std::make_shared<std::string>();
  CLI::App* command = legacy.add_subcommand(name, description);
  command->add_option("PATH", *path, "The document's path on the machine, as 'C:\\initial.qsf'")
      ->required();
  command->callback([&context, client, path, apply] {
    if (path->empty()) throw CommandError("PATH must not be empty");
    RequireMachineFile(context.platform(), *path);
    if (xml::Document doc; doc.load(context.platform().files(), *path)) {
      WarnWithoutLegacySections(doc);
    }
    RunOperation(context, *client,
                 [&](core::CCDavIrizevez& component) { (component.*apply)(*path); });
  });
}

}  // namespace

void AddLegacyCommand(CLI::App& app, HostContext& context, std::shared_ptr<ClientOptions> client) {
  CLI::App* legacy = app.add_subcommand(
      "legacy",
      "Apply a legacy settings document (the older all-in-one form), each in one component "
      "lifetime: initialise, the operation, terminate");
  legacy->require_subcommand(1);

  auto file = std::make_shared<std::string>();
  CLI::App* apply = legacy->add_subcommand(
      "apply",
      "ApplyWindowSettingXML: apply the document with its start programs, desktop icons and "
      "display mode (set again at every start while its RebootDisplay is 1), and keep it as "
      "DavIrizevez.qsf in the component folder");
  apply
      ->add_option("FILE", *file,
                   "A document file of this computer (decoded by its declared "
                   "encoding)")
      ->required()
      ->check(CLI::ExistingFile);
  apply->callback([&context, client, file] {
    // Read before the component starts, so that a bad file changes nothing.
    const std::string text = ReadDocumentText(*file);
    if (xml::Document doc; doc.loadXML(text)) WarnWithoutLegacySections(doc);
    RunOperation(context, *client,
                 [&](core::CCDavIrizevez& component) { component.ApplyWindowSettingXML(text); });
  });

  AddMachineFileCommand(*legacy, context, client, "login",
                        "ApplyXML_ManagerLogin: apply the document of the machine as at a manager "
                        "login (the older start menu rows; no display mode, start programs or "
                        "icons; nothing kept); APL_PREVWS does this with initial.qsf and "
                        "initial2.qsf",
                        &core::CCDavIrizevez::ApplyXML_ManagerLogin);
  AddMachineFileCommand(*legacy, context, client, "logoff",
                        "ApplyXML_ManagerLogoff: apply the document of the machine as at a manager "
                        "log-off (the current start menu rows; failing sections pass silently)",
                        &core::CCDavIrizevez::ApplyXML_ManagerLogoff);
}

}  // namespace dav::host
