// A host application object for tests: it reports a folder, key and version text that the
// test sets, can be told to fail any of its operations, and records every call in order.
#pragma once

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/host_interface.h"

namespace dav::core::testing {

class FakeHost : public HostApplication {
 public:
  std::string clientFolder = "C:\\Program Files\\brisal client";
  std::string clientKey = "Software\\quorel\\brisal client";
  std::string specVersion = "2.5.1";
  // Names of the operations that answer kHostFail ("GetClientFolder", "SendReply" ...).
  std::set<std::string> failing;
  // "PostNotice <component> <code> <stage>", "SendReply <text>" or the operation's name.
  std::vector<std::string> calls;

  long Count(const std::string& call) const { return std::count(calls.begin(), calls.end(), call); }

  HResult PostNotice(const std::string& component, const std::string& code,
                     std::int32_t stage) override {
    return Record("PostNotice",
                  "PostNotice " + component + " " + code + " " + std::to_string(stage));
  }
  HResult GetReplyChannel(std::unique_ptr<ReplyChannel>* channel) override {
    const HResult status = Record("GetReplyChannel", "GetReplyChannel");
    if (HostSucceeded(status)) *channel = std::make_unique<Channel>(*this);
    return status;
  }
  HResult GetClientFolder(std::string* folder) override {
    return Answer("GetClientFolder", clientFolder, folder);
  }
  HResult GetClientRegistryKey(std::string* key) override {
    return Answer("GetClientRegistryKey", clientKey, key);
  }
  HResult GetSpecVersion(std::string* version) override {
    return Answer("GetSpecVersion", specVersion, version);
  }

 private:
  class Channel : public ReplyChannel {
   public:
    explicit Channel(FakeHost& host) : host_(host) {}
    HResult SendReply(std::string& text, std::int32_t& flags) override {
      return host_.Record("SendReply", "SendReply " + text + " " + std::to_string(flags));
    }

   private:
    FakeHost& host_;
  };

  HResult Record(const std::string& operation, const std::string& call) {
    calls.push_back(call);
    return failing.count(operation) ? kHostFail : kHostOk;
  }
  HResult Answer(const std::string& operation, const std::string& value, std::string* out) {
    const HResult status = Record(operation, operation);
    if (HostSucceeded(status)) *out = value;
    return status;
  }
};

}  // namespace dav::core::testing
