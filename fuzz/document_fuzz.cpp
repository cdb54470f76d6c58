// Document loading and every applier on a scratch PC. The first byte picks the way in: bit
// 0 the system or the window document, bit 1 the WinXP or the Win7 component, bit 2 the text
// as the client hands it over or a file of the PC decoded by its declared encoding (the
// re-application of a saved document). The rest is the document. Nothing may crash, and
// the component must go on answering requests afterwards.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/component.h"
#include "fuzz/scratch_machine.h"

namespace {

constexpr const char* kComponentFolder =
    "C:\\Program Files\\brisal client\\Components\\DavIrizevez";

class QuietHost : public dav::core::HostApplication {
 public:
  explicit QuietHost(std::string version) : version_(std::move(version)) {}
  dav::core::HResult PostNotice(const std::string&, const std::string&, std::int32_t) override {
    return dav::core::kHostOk;
  }
  dav::core::HResult GetReplyChannel(std::unique_ptr<dav::core::ReplyChannel>* channel) override {
    *channel = std::make_unique<Channel>(replies);
    return dav::core::kHostOk;
  }
  dav::core::HResult GetClientFolder(std::string* folder) override {
    *folder = "C:\\Program Files\\brisal client";
    return dav::core::kHostOk;
  }
  dav::core::HResult GetClientRegistryKey(std::string* key) override {
    *key = "Software\\quorel\\brisal client";
    return dav::core::kHostOk;
  }
  dav::core::HResult GetSpecVersion(std::string* version) override {
    *version = version_;
    return dav::core::kHostOk;
  }
  long replies = 0;

 private:
  class Channel : public dav::core::ReplyChannel {
   public:
    explicit Channel(long& replies) : replies_(replies) {}
    dav::core::HResult SendReply(std::string&, std::int32_t&) override {
      ++replies_;
      return dav::core::kHostOk;
    }

   private:
    long& replies_;
  };
  std::string version_;
};

struct Component {
  explicit Component(const std::string& version) : host(std::make_shared<QuietHost>(version)) {
    auto& pc = dav::fuzz::ScratchMachine::Get();
    std::string folder;
    for (const char* name :
         {"C:\\Program Files", "\\brisal client", "\\Components", "\\DavIrizevez"}) {
      pc.files().MakeFolder(folder += name);
    }
    component = std::make_unique<dav::core::CCDavIrizevez>(pc, kComponentFolder);
    component->IClientComponent_Initialize(host, false);
    component->IClientComponent_Handle("REQ_NOTHING", "");  // fixes the generation
  }
  std::shared_ptr<QuietHost> host;
  std::unique_ptr<dav::core::CCDavIrizevez> component;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static Component winXP("2.5.1");
  static Component win7("2.6.1");
  const std::uint8_t way = data[0];
  const std::string document(reinterpret_cast<const char*>(data) + 1, size - 1);
  Component& c = way & 2 ? win7 : winXP;
  const bool system = way & 1;
  if (way & 4) {
    const std::string path = std::string(kComponentFolder) + "\\fuzz.qsf";
    if (dav::fuzz::ScratchMachine::Get().files().WriteAll(path, document) != 0) abort();
    if (system) {
      c.component->ApplySysConfigXML("", path, true);
    } else {
      c.component->ApplyWinConfigXML("", path, true);
    }
  } else if (system) {
    c.component->ApplySysConfigXML(document, "", false);
  } else {
    c.component->ApplyWinConfigXML(document, "", false);
  }
  const long before = c.host->replies;
  c.component->IClientComponent_Handle(system ? "REQ_SYSCONF" : "REQ_WINCONF", "");
  if (c.host->replies != before + 1) abort();
  return 0;
}
