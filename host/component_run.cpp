#include "host/component_run.h"

#include "host/command_error.h"
#include "host/status_text.h"

namespace dav::host {

void MakeMachineFolders(platform::FileSystem& files, const std::string& path) {
  if (path.size() <= 3) return;  // a drive's root is always there
  // Each level from the drive down ("C:\a", "C:\a\b" ...); levels that exist are fine.
  for (std::size_t end = path.find('\\', 3);; end = path.find('\\', end + 1)) {
    const std::string level = path.substr(0, end);
    const std::uint32_t attributes = files.GetAttributes(level);
    if (attributes == platform::kInvalidAttributes) {
      const platform::Status status = files.MakeFolder(level);
      if (status != platform::kErrorSuccess) {
        throw CommandError("cannot create the folder '" + level + "': " + StatusText(status));
      }
    } else if (!(attributes & platform::kAttrDirectory)) {
      throw CommandError("'" + level + "' is a file, not a folder");
    }
    if (end == std::string::npos) break;
  }
}

ComponentRun::ComponentRun(platform::Platform& platform, const ClientSettings& settings,
                           std::ostream& out) {
  MakeMachineFolders(platform.files(), settings.folder);
  MakeMachineFolders(platform.files(), settings.ComponentFolder());
  component_ = std::make_unique<core::CCDavIrizevez>(platform, settings.ComponentFolder());
  component_->IClientComponent_Initialize(std::make_shared<HostApplicationObject>(settings, out),
                                          false);
}

ComponentRun::~ComponentRun() {
  try {
    Terminate();
  } catch (...) {
    // Leaving early because of another error: that error is the one reported.
  }
}

void ComponentRun::Handle(const std::string& cmd, const std::string& protocol) {
  component_->IClientComponent_Handle(cmd, protocol);
}

void ComponentRun::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  component_->IClientComponent_Terminate();
}

}  // namespace dav::host
