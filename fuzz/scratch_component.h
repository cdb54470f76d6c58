// The component as a host runs it on the scratch PC: a quiet host that counts the replies,
// the component folder made, the component initialised and its Windows generation fixed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/component.h"
#include "core/tests/quiet_host.h"
#include "fuzz/scratch_machine.h"

namespace dav::fuzz {

using core::testing::QuietHost;

inline constexpr const char* kComponentFolder =
    "C:\\Program Files\\brisal client\\Components\\DavIrizevez";

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
