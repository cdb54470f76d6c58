#include "host/host_application.h"

namespace dav::host {
namespace {

class OutputChannel : public core::ReplyChannel {
 public:
  explicit OutputChannel(HostOutput& out) : out_(out) {}

  core::HResult SendReply(std::string& text, std::int32_t& /*flags*/) override {
    out_.Reply(text);
    return core::kHostOk;
  }

 private:
  HostOutput& out_;
};

}  // namespace

core::HResult HostApplicationObject::PostNotice(const std::string& component,
                                                const std::string& code, std::int32_t stage) {
  out_.Notice(component, code, stage);
  return core::kHostOk;
}

core::HResult HostApplicationObject::GetReplyChannel(std::unique_ptr<core::ReplyChannel>* channel) {
  *channel = std::make_unique<OutputChannel>(out_);
  return core::kHostOk;
}

core::HResult HostApplicationObject::GetClientFolder(std::string* folder) {
  *folder = settings_.folder;
  return core::kHostOk;
}

core::HResult HostApplicationObject::GetClientRegistryKey(std::string* key) {
  *key = settings_.registryKey;
  return core::kHostOk;
}

core::HResult HostApplicationObject::GetSpecVersion(std::string* version) {
  *version = settings_.specVersion;
  return core::kHostOk;
}

}  // namespace dav::host
