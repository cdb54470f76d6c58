// davhost's application object, the one the component is initialised with. It reports the
// client settings and hands what the component tells the host, in the order it happens, to
// the run's output (printed, or gathered for --json).
#pragma once

#include "core/host_interface.h"
#include "host/client_settings.h"
#include "host/host_output.h"

namespace dav::host {

class HostApplicationObject : public core::HostApplication {
 public:
  HostApplicationObject(ClientSettings settings, HostOutput& out)
      : settings_(std::move(settings)), out_(out) {}

  core::HResult PostNotice(const std::string& component, const std::string& code,
                           std::int32_t stage) override;
  core::HResult GetReplyChannel(std::unique_ptr<core::ReplyChannel>* channel) override;
  core::HResult GetClientFolder(std::string* folder) override;
  core::HResult GetClientRegistryKey(std::string* key) override;
  core::HResult GetSpecVersion(std::string* version) override;

 private:
  ClientSettings settings_;
  HostOutput& out_;
};

}  // namespace dav::host
