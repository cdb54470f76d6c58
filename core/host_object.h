// The component's reference to the host's application object. Every call checks the
// host's status: a failure becomes a RunTimeError carrying the host's status as its number
// ("Automation error"), and a call without an object (before Initialize, after Terminate,
// or a host that handed over none) is run-time error 91, as a call on Nothing is. The
// calling procedure's handler logs either one.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/host_interface.h"

namespace dav::core {

class HostObject {
 public:
  HostObject() = default;
  explicit HostObject(std::shared_ptr<HostApplication> app) : app_(std::move(app)) {}

  bool IsSet() const { return app_ != nullptr; }
  void Release() { app_.reset(); }

  void PostNotice(std::string_view component, std::string_view code, int stage);

  // Sends one reply through a channel asked for just for it, and releases the channel.
  void SendReply(std::string_view text);

  std::string GetClientFolder();
  std::string GetClientRegistryKey();
  std::string GetSpecVersion();

 private:
  HostApplication& App(const char* operation);

  std::shared_ptr<HostApplication> app_;
};

}  // namespace dav::core
