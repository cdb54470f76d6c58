#include "core/host_object.h"

#include "util/run_time_error.h"

namespace dav::core {
namespace {

// The source of a host failure names the operation, as the run-time names the object and
// method that failed.
void Check(HResult status, const char* operation) {
  if (HostSucceeded(status)) return;
  throw util::RunTimeError(status, std::string("HostApplication.") + operation,
                           util::StandardMessage(util::kErrAutomation));
}

}  // namespace

HostApplication& HostObject::App(const char* operation) {
  if (!app_) throw util::RunTimeError(util::kErrObjectNotSet, operation);
  return *app_;
}

void HostObject::PostNotice(std::string_view component, std::string_view code, int stage) {
  Check(App("PostNotice").PostNotice(std::string(component), std::string(code), stage),
        "PostNotice");
}

void HostObject::SendReply(std::string_view text) {
  std::unique_ptr<ReplyChannel> channel;
  Check(App("GetReplyChannel").GetReplyChannel(&channel), "GetReplyChannel");
  if (!channel) throw util::RunTimeError(util::kErrObjectNotSet, "ReplyChannel.SendReply");
  std::string reply(text);
  std::int32_t flags = 0;
  Check(channel->SendReply(reply, flags), "SendReply");
}

std::string HostObject::GetClientFolder() {
  std::string folder;
  Check(App("GetClientFolder").GetClientFolder(&folder), "GetClientFolder");
  return folder;
}

std::string HostObject::GetClientRegistryKey() {
  std::string key;
  Check(App("GetClientRegistryKey").GetClientRegistryKey(&key), "GetClientRegistryKey");
  return key;
}

std::string HostObject::GetSpecVersion() {
  std::string version;
  Check(App("GetSpecVersion").GetSpecVersion(&version), "GetSpecVersion");
  return version;
}

}  // namespace dav::core
