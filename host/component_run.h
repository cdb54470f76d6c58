// One lifetime of the component on the machine, as the client runs it: the client's and the
// component's folders made when missing, the component created over its folder and
// initialised with davhost's application object; commands; Terminate at the end (also when
// the run is left early by an error).
//
// The component never reports a failure to its host: a command that failed inside only
// leaves "[err:...]" and "Err (...)" lines in the component's logs. A person at davhost
// should not have to go looking, so after each command those lines are gathered into the
// command's outcome, which the output prints as warnings and the exit code reflects. The
// same goes for the writes the machine refused while the component ran (its registry and
// file layers only return failure values and go on): the run is watched by a
// RecordingPlatform, and each command's outcome names the writes refused during it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/component.h"
#include "host/change_recorder.h"
#include "host/client_settings.h"
#include "host/host_application.h"
#include "host/host_output.h"
#include "platform/platform.h"

namespace dav::host {

// The error lines of a log file of the component from byte offset from on (all of it when
// the file is now shorter), decoded from the machine's ANSI code page: from "[err:" or
// "Err (" to the line's end, without the time stamp in front, and the error reporter's
// "[source] number text" lines. A missing file adds none.
void CollectLoggedErrors(platform::Platform& platform, const std::string& path, std::size_t from,
                         std::vector<std::string>* errors);

class ComponentRun {
 public:
  // Notices, replies and each command's outcome go to out. beforeStart, when given, runs on
  // the watched machine before the component is created, so that its changes are the run's.
  ComponentRun(platform::Platform& platform, const ClientSettings& settings, HostOutput& out,
               const std::function<void(platform::Platform&)>& beforeStart = {});
  ~ComponentRun();
  ComponentRun(const ComponentRun&) = delete;
  ComponentRun& operator=(const ComponentRun&) = delete;

  // IClientComponent_Handle; the outcome names a command the component does not know and
  // each error line that the command added to the day's log or debug log.
  CommandOutcome Handle(const std::string& cmd, const std::string& protocol);

  // What shows the editors of WINCONFIG and SYSCONFIG.
  void SetFormUi(std::shared_ptr<editors::FormUi> ui) { component_->SetFormUi(std::move(ui)); }

  // The error lines the last Handle (or Call) added to the logs, from "[err:" or "Err (" on.
  const std::vector<std::string>& LastErrors() const { return lastErrors_; }

  // Tells the component's section appliers to report the rows they apply.
  void SetRowObserver(catalogue::RowObserver* observer);

  // Any public operation of the component, with the same warnings as Handle.
  CommandOutcome Call(const std::function<void(core::CCDavIrizevez&)>& operation);

  // Everything the lifetime changed on the machine so far, and every write it refused.
  const MachineChanges& Changes() const { return recording_.changes(); }

  // IClientComponent_Terminate; once. Writes that the machine refused outside the commands
  // (while the component started or ended) are warned of; returns 4 when there were any,
  // else 0 (host/exit_codes.h).
  int Terminate();

 private:
  // The operation, with the outcome of what it logged; name and known describe it to out.
  CommandOutcome Deliver(const std::string& name, bool known,
                         const std::function<void(core::CCDavIrizevez&)>& operation,
                         std::vector<std::string> hints);

  // The hints of a command the component will take without a word where it is likely not
  // what was meant: a login with no manager document, an apply without its second field.
  std::vector<std::string> CommandHints(const std::string& cmd, const std::string& protocol);

  platform::Platform& platform_;
  RecordingPlatform recording_;
  std::size_t refusedSeen_ = 0;                // refused writes already given to an outcome
  std::vector<RefusedWrite> lifetimeRefused_;  // those refused outside the commands
  std::string componentFolder_;
  HostOutput& out_;
  std::unique_ptr<core::CCDavIrizevez> component_;
  bool terminated_ = false;
  std::vector<std::string> lastErrors_;
};

// Makes a folder of the machine and its missing parents; a CommandError when it cannot. A
// level that another process made between the look and the making is there as wanted.
void MakeMachineFolders(platform::FileSystem& files, const std::string& path);

}  // namespace dav::host
