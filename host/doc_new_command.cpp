#include "host/doc_new_command.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "host/client_settings.h"
#include "host/command_error.h"
#include "host/component_run.h"
#include "host/host_files.h"
#include "host/legacy_machine_rows.h"
#include "host/legacy_new_document.h"
#include "host/produced_document.h"
#include "host/throwaway_machine.h"
#include "platform/open_platform.h"

namespace dav::host {
namespace {

namespace fs = std::filesystem;

struct NewOptions {
  std::string kind;
  std::string file;
  bool fromMachine = false;
};

// Takes notices and command ends without a word; the document comes as the reply.
class SilentOutput : public HostOutput {
 public:
  void Notice(const std::string&, const std::string&, std::int32_t) override {}
  void Reply(const std::string&) override {}
  void CommandStarts(const std::string&) override {}
  void CommandEnded(const CommandOutcome&) override {}
  void Warning(const std::string&) override {}
};

// Where the document of a reply "DavIrizevez" TAB code TAB document begins; npos for none.
std::size_t DocumentStart(const std::string& reply) {
  const std::size_t tab = reply.find('\t', reply.find('\t') + 1);
  return tab == std::string::npos ? tab : tab + 1;
}

void RunNew(HostContext& context, const NewOptions& options) {
  const bool legacy = options.kind == "legacy";
  const fs::path file = HostPath(options.file);
  if (fs::exists(file)) {
    throw CommandError("'" + options.file + "' exists; doc new does not overwrite a file");
  }
  const fs::path machine = HostPath(context.machineFolder);
  if (options.fromMachine && !fs::is_regular_file(machine / "registry.db")) {
    throw CommandError("no machine in '" + context.machineFolder + "'");
  }
  const ThrowawayMachine scratch(options.fromMachine ? &machine : nullptr, "new");
  std::unique_ptr<platform::Platform> platform =
      platform::OpenPlatform(scratch.path(), !options.fromMachine);
  if (!platform) throw CommandError("cannot open a scratch machine");
  const ClientSettings settings = ResolveClientSettings(*platform, {});
  // The legacy document is put together from the fresh PC's window document.
  const std::string request = options.kind == "system" ? "REQ_SYSCONF" : "REQ_WINCONF";
  SilentOutput silent;
  ReplyKeeper keeper(silent);
  // From the machine, the legacy document takes the applets from its system document.
  const bool applets = legacy && options.fromMachine;
  std::vector<std::string> errors;
  std::size_t systemReplies = 0;
  {
    ComponentRun run(*platform, settings, keeper);
    if (applets) {
      errors = run.Handle("REQ_SYSCONF", "").loggedErrors;
      systemReplies = keeper.replies().size();
    }
    for (std::string& error : run.Handle(request, "").loggedErrors) errors.push_back(error);
    run.Terminate();
  }
  if (!errors.empty()) {
    throw CommandError(std::string(applets ? "REQ_SYSCONF or " : "") + request +
                       " logged an error, so no document was written: " + errors.front());
  }
  std::vector<std::string> replies(keeper.replies().begin() + systemReplies,
                                   keeper.replies().end());
  std::vector<std::string> warnings;
  if (legacy && !replies.empty()) {
    std::string& reply = replies.back();
    const std::size_t tab = DocumentStart(reply);
    if (tab != std::string::npos) {
      std::optional<LegacyMachineRows> machineRows;
      LegacyRowValue rowValue;
      std::string system;
      if (options.fromMachine) {
        machineRows.emplace(*platform, settings.ComponentKey());
        rowValue = [&](std::string_view section, const catalogue::RowSpec& row,
                       const std::string& fresh) {
          return machineRows->ValueOf(section, row, fresh);
        };
        if (systemReplies > 0) {
          const std::string& systemReply = keeper.replies()[systemReplies - 1];
          if (const std::size_t start = DocumentStart(systemReply); start != std::string::npos) {
            system = systemReply.substr(start);
          }
        }
      }
      reply = reply.substr(0, tab) + LegacyDocumentFrom(reply.substr(tab), rowValue, system);
      if (machineRows) warnings = machineRows->warnings();
    }
  }
  const std::string encoding =
      SaveProducedDocument(*platform, settings.ComponentFolder(), request, replies, options.file);
  const char* name = legacy ? "DavIrizevez" : options.kind == "window" ? "WinConfig" : "SysConfig";
  std::cout << options.file << ": a " << name << " document with the values of "
            << (options.fromMachine ? "the machine" : "a fresh PC")
            << ", every section present, encoding " << encoding << "\n";
  for (const std::string& warning : warnings) {
    std::cerr << "davhost: warning: " << warning << "\n";
  }
}

}  // namespace

void AddDocNewCommand(CLI::App& doc, HostContext& context) {
  auto options = std::make_shared<NewOptions>();
  CLI::App* command = doc.add_subcommand(
      "new",
      "Write a complete document of one kind, every section present, with the values of a "
      "fresh PC (or, with --from-machine, of the machine), as the component produces it: a "
      "start to edit, check and apply. Exit 0 written, 1 not (nothing is written)");
  command->add_option("FILE", options->file, "The new document, a file of this computer")
      ->required();
  command
      ->add_option("--kind", options->kind,
                   "window (WinConfig, APL_WINCONF), system (SysConfig, APL_SYSCONF) or legacy "
                   "(DavIrizevez.qsf, davhost legacy apply)")
      ->required()
      ->check(CLI::IsMember({"window", "system", "legacy"}));
  command->add_flag("--from-machine", options->fromMachine,
                    "The machine's values, read from a copy of it (the machine is not changed); a "
                    "legacy row the machine holds none of its values for keeps a fresh PC's "
                    "value, with a warning naming it");
  command->footer("Example:\n  davhost doc new --kind system lab.qsf && davhost doc check lab.qsf");
  command->callback([&context, options] { RunNew(context, *options); });
}

}  // namespace dav::host
