// One lifetime of the component on the machine, as the client runs it: the client's and the
// component's folders made when missing, the component created over its folder and
// initialised with davhost's application object; commands; Terminate at the end (also when
// the run is left early by an error).
//
// The component never reports a failure to its host: a command that failed inside only
// leaves "[err:...]" and "Err (...)" lines in the component's logs. A person at davhost
// should not have to go looking, so after each command those lines are printed as warnings.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/component.h"
#include "host/client_settings.h"
#include "host/host_application.h"
#include "platform/platform.h"

namespace dav::host {

class ComponentRun {
 public:
  // Notices and replies go to out, the errors the component logged during a command to
  // warnings.
  ComponentRun(platform::Platform& platform, const ClientSettings& settings, std::ostream& out,
               std::ostream& warnings);
  ~ComponentRun();
  ComponentRun(const ComponentRun&) = delete;
  ComponentRun& operator=(const ComponentRun&) = delete;

  // IClientComponent_Handle, then a warning for each error line that the command added to
  // the day's log or debug log.
  void Handle(const std::string& cmd, const std::string& protocol);

  // What shows the editors of WINCONFIG and SYSCONFIG.
  void SetFormUi(std::shared_ptr<editors::FormUi> ui) { component_->SetFormUi(std::move(ui)); }

  // The error lines the last Handle (or Call) added to the logs, from "[err:" or "Err (" on.
  const std::vector<std::string>& LastErrors() const { return lastErrors_; }

  // Tells the component's section appliers to report the rows they apply.
  void SetRowObserver(catalogue::RowObserver* observer);

  // Any public operation of the component, with the same warnings as Handle.
  void Call(const std::function<void(core::CCDavIrizevez&)>& operation);

  // IClientComponent_Terminate; once.
  void Terminate();

 private:
  platform::Platform& platform_;
  std::string componentFolder_;
  std::ostream& warnings_;
  std::unique_ptr<core::CCDavIrizevez> component_;
  bool terminated_ = false;
  std::vector<std::string> lastErrors_;
};

// Makes a folder of the machine and its missing parents; a CommandError when it cannot.
void MakeMachineFolders(platform::FileSystem& files, const std::string& path);

}  // namespace dav::host
