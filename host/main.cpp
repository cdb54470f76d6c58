// davhost: the command-line host of the lock-down component, and the tool to set up and
// inspect the PC it runs on.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "host/command_error.h"
#include "host/component_commands.h"
#include "host/display_commands.h"
#include "host/exit_codes.h"
#include "host/fs_commands.h"
#include "host/host_context.h"
#include "host/process_commands.h"
#include "host/reg_commands.h"
#include "host/text_table.h"
#include "host/utf8_arguments.h"
#include "host/window_commands.h"
#if DAV_PLATFORM_SIM
#include "host/event_commands.h"
#include "host/machine_commands.h"
#endif
#if DAV_HAS_DOCUMENTS
#include "host/doc_commands.h"
#include "host/edit_command.h"
#endif
#if DAV_HAS_ROOM_REPORT
#include "host/room_command.h"
#endif

namespace {

// The command the parser got furthest into: "davhost reg set" for "davhost reg set ...".
CLI::App* DeepestCommand(CLI::App& app, std::string* path) {
  CLI::App* command = &app;
  *path = "davhost";
  for (std::vector<CLI::App*> parsed = app.get_subcommands(); !parsed.empty();
       parsed = command->get_subcommands()) {
    command = parsed.back();
    *path += " " + command->get_name();
  }
  return command;
}

// A parse error, pointing to the help of the command that failed. A word where a command
// may follow is named: the parser only reports that a command is missing (or, where the
// command is optional, that an argument was not expected), and leaves the word it could not
// place among the top command's remaining arguments.
void ReportParseError(CLI::App& app, const CLI::Error& error) {
  std::string path;
  CLI::App* command = DeepestCommand(app, &path);
  const bool commandMissing =
      dynamic_cast<const CLI::RequiredError*>(&error) && command->get_require_subcommand_min() > 0;
  const bool wordUnplaced = dynamic_cast<const CLI::ExtrasError*>(&error) &&
                            !command->get_subcommands([](CLI::App*) { return true; }).empty();
  if ((commandMissing || wordUnplaced) && command->get_subcommands().empty()) {
    for (const std::string& word : app.remaining()) {
      if (word.empty() || word.front() == '-') continue;
      std::cerr << "davhost: unknown command '" << dav::host::VisibleText(word) << "' (see " << path
                << " --help)\n";
      return;
    }
  }
  std::cerr << "davhost: " << dav::host::VisibleText(error.what()) << " (see " << path
            << " --help)\n";
}

// A command that could not be carried out: one line on stderr.
int ReportFailure(const dav::host::HostContext& context, const std::exception& e) {
  // A change that failed on a read-only machine failed because of that.
  const bool readOnly =
      context.readOnly() && std::string(e.what()).find("read-only") == std::string::npos;
  std::cerr << "davhost: " << dav::host::VisibleText(e.what())
            << (readOnly ? " (the machine in '" + context.machineFolder + "' is read-only)"
                         : std::string())
            << "\n";
  return dav::host::kExitFailed;
}

int Run(int argc, char** argv) {
  dav::host::HostContext context;
  if (const char* folder = std::getenv("DAVHOST_MACHINE"); folder && *folder) {
    context.machineFolder = folder;
  }
  CLI::App app{"davhost: runs the desktop lock-down component and inspects the PC it runs on",
               "davhost"};
  app.require_subcommand(1);
  app.footer(dav::host::ExitCodeTable());
  app.set_version_flag("--version", dav::host::VersionText(),
                       "Print davhost's version and the component's, then exit");
  // Host paths such as /tmp/x are arguments, not Windows-style "/option"s.
  app.allow_windows_style_options(false);
  app.fallthrough();  // --machine may also follow the command
#if DAV_PLATFORM_SIM
  app.add_option("--machine", context.machineFolder,
                 "Folder of the simulated PC (default: $DAVHOST_MACHINE, else ./machine)");
  dav::host::AddMachineCommands(app, context);
  dav::host::AddEventCommands(app, context);
#endif
  dav::host::AddComponentCommands(app, context);
  dav::host::AddRegCommands(app, context);
  dav::host::AddFsCommands(app, context);
  dav::host::AddDisplayCommands(app, context);
  dav::host::AddProcessCommands(app, context);
  dav::host::AddWindowCommands(app, context);
#if DAV_HAS_DOCUMENTS
  dav::host::AddDocCommands(app, context);
  dav::host::AddEditCommand(app, context);
#endif
#if DAV_HAS_ROOM_REPORT
  dav::host::AddRoomCommands(app);
#endif

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help, --version
    return app.exit(e);
  } catch (const CLI::Error& e) {
    ReportParseError(app, e);
    return dav::host::kExitUsage;
  } catch (const dav::host::CommandError& e) {
    return ReportFailure(context, e);
  } catch (const dav::platform::PlatformError& e) {
    // The commands that work on the machine's files directly (snapshots) fail so.
    return ReportFailure(context, e);
  } catch (const dav::host::CommandExit& e) {
    return e.status();
  }
  return context.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    dav::host::Utf8Arguments arguments(argc, argv);
    if (const int invalid = arguments.FirstInvalid()) {
      std::cerr << "davhost: argument " << invalid << " is not valid UTF-8\n";
      return 2;
    }
    const int code = Run(arguments.argc(), arguments.argv());
    std::cout.flush();
    return code;
  } catch (const std::exception& e) {
    std::cerr << "davhost: " << dav::host::VisibleText(e.what()) << "\n";
    return 1;
  }
}
