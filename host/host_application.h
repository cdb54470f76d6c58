// davhost's application object, the one the component is initialised with. It reports the
// client settings and prints what the component tells the host, in the order it happens:
// a notice as "NOTICE <component> <code> <stage>", a reply as its text.
#pragma once

#include <ostream>

#include "core/host_interface.h"
#include "host/client_settings.h"

namespace dav::host {

class HostApplicationObject : public core::HostApplication {
 public:
  HostApplicationObject(ClientSettings settings, std::ostream& out)
      : settings_(std::move(settings)), out_(out) {}

  core::HResult PostNotice(const std::string& component, const std::string& code,
                           std::int32_t stage) override;
  core::HResult GetReplyChannel(std::unique_ptr<core::ReplyChannel>* channel) override;
  core::HResult GetClientFolder(std::string* folder) override;
  core::HResult GetClientRegistryKey(std::string* key) override;
  core::HResult GetSpecVersion(std::string* version) override;

 private:
  ClientSettings settings_;
  std::ostream& out_;
};

}  // namespace dav::host
