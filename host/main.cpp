// davhost: the command-line host of the lock-down component, and the tool to set up and
// inspect the PC it runs on.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>

#include "host/command_error.h"
#include "host/component_commands.h"
#include "host/display_commands.h"
#include "host/fs_commands.h"
#include "host/host_context.h"
#include "host/process_commands.h"
#include "host/reg_commands.h"
#include "host/utf8_arguments.h"
#include "host/window_commands.h"
#if DAV_PLATFORM_SIM
#include "host/event_commands.h"
#include "host/machine_commands.h"
#endif
#if DAV_HAS_DOCUMENTS
#include "host/doc_commands.h"
#endif

namespace {

int Run(int argc, char** argv) {
  dav::host::HostContext context;
  if (const char* folder = std::getenv("DAVHOST_MACHINE"); folder && *folder) {
    context.machineFolder = folder;
  }
  CLI::App app{"davhost: runs the desktop lock-down component and inspects the PC it runs on",
               "davhost"};
  app.require_subcommand(1);
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
#endif

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help
    return app.exit(e);
  } catch (const CLI::Error& e) {
    std::cerr << "davhost: " << e.what() << " (see davhost --help)\n";
    return 2;
  } catch (const dav::host::CommandError& e) {
    std::cerr << "davhost: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    dav::host::Utf8Arguments arguments(argc, argv);
    const int code = Run(arguments.argc(), arguments.argv());
    std::cout.flush();
    return code;
  } catch (const std::exception& e) {
    std::cerr << "davhost: " << e.what() << "\n";
    return 1;
  }
}
