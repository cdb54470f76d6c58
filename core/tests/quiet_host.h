// A host application object for benchmarks and fuzz targets, which run the component many
// times: it takes every notice and reply without keeping them (only the replies are
// counted), and reports the client's usual folder, key and the version text it is given.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/host_interface.h"

namespace dav::core::testing {

class QuietHost : public HostApplication {
 public:
  explicit QuietHost(std::string version = "2.5.1") : version_(std::move(version)) {}

  HResult PostNotice(const std::string&, const std::string&, std::int32_t) override {
    return kHostOk;
  }
  HResult GetReplyChannel(std::unique_ptr<ReplyChannel>* channel) override {
    *channel = std::make_unique<Channel>(replies);
    return kHostOk;
  }
  HResult GetClientFolder(std::string* folder) override {
    *folder = "C:\\Program Files\\brisal client";
    return kHostOk;
  }
  HResult GetClientRegistryKey(std::string* key) override {
    *key = "Software\\quorel\\brisal client";
    return kHostOk;
  }
  HResult GetSpecVersion(std::string* version) override {
    *version = version_;
    return kHostOk;
  }

  long replies = 0;

 private:
  class Channel : public ReplyChannel {
   public:
    explicit Channel(long& replies) : replies_(replies) {}
    HResult SendReply(std::string&, std::int32_t&) override {
      ++replies_;
      return kHostOk;
    }

   private:
    long& replies_;
  };
  std::string version_;
};

}  // namespace dav::core::testing
