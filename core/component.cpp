#include "core/component.h"

#include <utility>

#include "component_version.h"

namespace dav::core {

namespace {
constexpr char kComponentName[] = "DavIrizevez";
}  // namespace

CCDavIrizevez::CCDavIrizevez(platform::Platform& platform, std::string componentFolder)
    : platform_(platform),
      log_(platform, std::move(componentFolder), kComponentName),
      desktopIcons_(log_, fields_.diStoreKey) {}

std::string CCDavIrizevez::Company() const {
  return build::kCompany;
}

std::string CCDavIrizevez::Name() const {
  return kComponentName;
}

std::string CCDavIrizevez::Version() const {
  return std::to_string(build::kVersionMajor) + "." + std::to_string(build::kVersionMinor) + "." +
         std::to_string(build::kVersionRevision);
}

void CCDavIrizevez::IClientComponent_Handle(const std::string& cmd,
                                            const std::string& StrProtocol) {
  util::Procedure handle(log_, "CCDavIrizevez", "IClientComponent_Handle");
  try {
    SetOSVersion();
    RunCommand(handle, cmd, StrProtocol);
  } catch (...) {
    // Nothing reaches the host: the command ends here, with its line logged.
    handle.LogFailure();
  }
}

void CCDavIrizevez::SetOSVersion() {
  util::Procedure proc(log_, "CCDavIrizevez", "SetOSVersion");
  try {
    // The host is asked until it has given a version text; after that the generation stays
    // fixed for the component's life, whatever text it was.
    proc.Line(10);
    if (!state_.specVersion.empty()) return;
    proc.Line(20);
    state_.specVersion = host_.GetSpecVersion();
    proc.Line(30);
    state_.winXP = false;
    state_.win7 = false;
    proc.Line(40);
    if (state_.specVersion == "2.5.1") {
      state_.winXP = true;
    } else if (state_.specVersion == "2.6.1") {
      state_.win7 = true;
    }
  } catch (...) {
    proc.LogFailure();
  }
}

void CCDavIrizevez::IClientComponent_Terminate() {
  SyncReg(true);  // it logs its own failures and never throws
  log_.Write(std::string(kComponentName) + " Terminate");
  // Released last: the folder sets with the start exclusion list and the desktop filtering
  // list, the host's object and the display catalogue.
  desktopIcons_.Release();
  host_.Release();
  state_.displayCatalogue.reset();
}

}  // namespace dav::core
