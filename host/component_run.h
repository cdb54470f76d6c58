// One lifetime of the component on the machine, as the client runs it: the client's and the
// component's folders made when missing, the component created over its folder and
// initialised with davhost's application object; commands; Terminate at the end (also when
// the run is left early by an error).
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "core/component.h"
#include "host/client_settings.h"
#include "host/host_application.h"
#include "platform/platform.h"

namespace dav::host {

class ComponentRun {
 public:
  ComponentRun(platform::Platform& platform, const ClientSettings& settings, std::ostream& out);
  ~ComponentRun();
  ComponentRun(const ComponentRun&) = delete;
  ComponentRun& operator=(const ComponentRun&) = delete;

  void Handle(const std::string& cmd, const std::string& protocol);

  // IClientComponent_Terminate; once.
  void Terminate();

 private:
  std::unique_ptr<core::CCDavIrizevez> component_;
  bool terminated_ = false;
};

// Makes a folder of the machine and its missing parents; a CommandError when it cannot.
void MakeMachineFolders(platform::FileSystem& files, const std::string& path);

}  // namespace dav::host
