// davhost as the component's host: the client settings options, identity, handle, session
// and log.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <ostream>
#include <string>

#include "host/client_settings.h"
#include "host/component_run.h"
#include "host/host_context.h"

namespace dav::host {

void AddComponentCommands(CLI::App& app, HostContext& context);

// The arguments of a command that hands one command to the component (handle, plan).
struct HandleOptions {
  std::string command;
  std::string protocol;
  std::string documentFile;
  std::string restart;
  CLI::Option* protocolOption = nullptr;
  CLI::Option* restartOption = nullptr;
  std::string ui;  // handle only: what shows the editors
  bool quiet = false;
  bool verbose = false;    // handle: the change report names every change
  std::string outputFile;  // handle only: -o, where the produced document goes
  CLI::Option* outputOption = nullptr;
  bool json = false;  // --json
};

// CMD, PROTOCOL, --doc and --restart on the subcommand.
void AddHandleArguments(CLI::App& command, HandleOptions& options);

// The protocol text the arguments give: PROTOCOL or the --doc file, and the --restart flag.
// The document is read before the component starts, so that a bad file changes nothing.
std::string HandleProtocol(const HandleOptions& options);

// One component lifetime over the machine for one command (prepare, when given, sets the run
// up before the command; notices, replies and warnings go to out), then the change report: on
// report, the counts unless quiet, every change when detailed, and the logged errors in terms
// of the document's sections and rows. Returns the command's exit code (host/exit_codes.h),
// 4 also when the machine refused a write during the lifetime; *changes, when given, gets
// what the lifetime changed. beforeStart, when given, changes the machine before the
// component starts (its changes are in the report).
int HandleAndReport(platform::Platform& machine, const ClientSettings& settings,
                    const std::string& command, const std::string& protocol, bool quiet,
                    bool detailed, std::ostream& report,
                    const std::function<void(ComponentRun&)>& prepare, HostOutput& out,
                    MachineChanges* changes = nullptr,
                    const std::function<void(platform::Platform&)>& beforeStart = {});

}  // namespace dav::host
