// The component as a host runs it on the scratch PC: a quiet host that counts the replies,
// the component folder made, the component initialised and its Windows generation fixed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/component.h"
#include "fuzz/scratch_machine.h"

namespace dav::fuzz {

inline constexpr const char* kComponentFolder =
    "C:\\Program Files\\brisal client\\Components\\DavIrizevez";

class QuietHost : public core::HostApplication {
 public:
  explicit QuietHost(std::string version) : version_(std::move(version)) {}
  core::HResult PostNotice(const std::string&, const std::string&, std::int32_t) override {
    return core::kHostOk;
  }
  core::HResult GetReplyChannel(std::unique_ptr<core::ReplyChannel>* channel) override {
    *channel = std::make_unique<Channel>(replies);
    return core::kHostOk;
  }
  core::HResult GetClientFolder(std::string* folder) override {
    *folder = "C:\\Program Files\\brisal client";
    return core::kHostOk;
  }
  core::HResult GetClientRegistryKey(std::string* key) override {
    *key = "Software\\quorel\\brisal client";
    return core::kHostOk;
  }
  core::HResult GetSpecVersion(std::string* version) override {
    *version = version_;
    return core::kHostOk;
  }
  long replies = 0;

 private:
  class Channel : public core::ReplyChannel {
   public:
    explicit Channel(long& replies) : replies_(replies) {}
    core::HResult SendReply(std::string&, std::int32_t&) override {
      ++replies_;
      return core::kHostOk;
    }

   private:
    long& replies_;
  };
  std::string version_;
};

// version: the host's version text, "2.5.1" (WinXP) or "2.6.1" (Win7).
struct ScratchComponent {
  explicit ScratchComponent(const std::string& version)
      : host(std::make_shared<QuietHost>(version)) {
    auto& pc = ScratchMachine::Get();
    std::string folder;
    for (const char* name :
         {"C:\\Program Files", "\\brisal client", "\\Components", "\\DavIrizevez"}) {
      pc.files().MakeFolder(folder += name);
    }
    component = std::make_unique<core::CCDavIrizevez>(pc, kComponentFolder);
    component->IClientComponent_Initialize(host, false);
    component->IClientComponent_Handle("REQ_NOTHING", "");  // fixes the generation
  }

  // True when the component answers a request for the document with one reply.
  bool Answers(bool system) {
    const long before = host->replies;
    component->IClientComponent_Handle(system ? "REQ_SYSCONF" : "REQ_WINCONF", "");
    return host->replies == before + 1;
  }

  std::shared_ptr<QuietHost> host;
  std::unique_ptr<core::CCDavIrizevez> component;
};

}  // namespace dav::fuzz
