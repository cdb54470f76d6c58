// The plain C interface of include/davirizevez.h over the same component as the COM object.
#include <exception>
#include <memory>
#include <string>

#include "com/module.h"
#include "include/davirizevez.h"

struct DavComponent {
  dav::com::ComponentInstance instance;
  std::string company;
  std::string name;
  std::string version;
};

namespace {

namespace core = dav::core;

// The host's callbacks as the component's host application object.
class CallbackHost : public core::HostApplication {
 public:
  explicit CallbackHost(const DavHostCallbacks& callbacks) : callbacks_(callbacks) {}

  core::HResult PostNotice(const std::string& component, const std::string& code,
                           std::int32_t stage) override {
    if (!callbacks_.PostNotice) return core::kHostFail;
    return callbacks_.PostNotice(callbacks_.context, component.c_str(), code.c_str(), stage);
  }

  core::HResult GetReplyChannel(std::unique_ptr<core::ReplyChannel>* channel) override {
    *channel = std::make_unique<Channel>(callbacks_);
    return core::kHostOk;
  }

  core::HResult GetClientFolder(std::string* folder) override {
    return Text(callbacks_.GetClientFolder, folder);
  }
  core::HResult GetClientRegistryKey(std::string* key) override {
    return Text(callbacks_.GetClientRegistryKey, key);
  }
  core::HResult GetSpecVersion(std::string* version) override {
    return Text(callbacks_.GetSpecVersion, version);
  }

 private:
  class Channel : public core::ReplyChannel {
   public:
    explicit Channel(const DavHostCallbacks& callbacks) : callbacks_(callbacks) {}
    core::HResult SendReply(std::string& text, std::int32_t& flags) override {
      if (!callbacks_.SendReply) return core::kHostFail;
      return callbacks_.SendReply(callbacks_.context, text.c_str(), flags);
    }

   private:
    const DavHostCallbacks& callbacks_;
  };

  using TextCallback = int32_t (*)(void*, const char**);
  core::HResult Text(TextCallback callback, std::string* text) {
    if (!callback) return core::kHostFail;
    const char* answer = nullptr;
    const core::HResult status = callback(callbacks_.context, &answer);
    if (core::HostSucceeded(status)) *text = answer ? answer : "";
    return status;
  }

  DavHostCallbacks callbacks_;
};

}  // namespace

extern "C" {

DavComponent* DavIrizevez_Create(const char* componentFolder) {
  try {
    auto created = std::make_unique<DavComponent>();
    created->instance =
        dav::com::OpenComponent(componentFolder ? componentFolder : dav::com::ModuleFolder());
    created->company = created->instance.component->Company();
    created->name = created->instance.component->Name();
    created->version = created->instance.component->Version();
    return created.release();
  } catch (...) {
    return nullptr;
  }
}

void DavIrizevez_Initialize(DavComponent* component, const DavHostCallbacks* host, int debugMode) {
  if (!component) return;
  try {
    std::shared_ptr<core::HostApplication> app;
    if (host) app = std::make_shared<CallbackHost>(*host);
    component->instance.component->IClientComponent_Initialize(std::move(app), debugMode != 0);
  } catch (...) {
    // Initialisation never fails towards the host.
  }
}

void DavIrizevez_Handle(DavComponent* component, const char* cmd, const char* protocol) {
  if (!component) return;
  try {
    component->instance.component->IClientComponent_Handle(cmd ? cmd : "",
                                                           protocol ? protocol : "");
  } catch (...) {
    // A command never fails towards the host.
  }
}

int32_t DavIrizevez_Terminate(DavComponent* component) {
  if (!component) return -1;
  try {
    component->instance.component->IClientComponent_Terminate();
    return 0;
  } catch (...) {
    return -1;
  }
}

void DavIrizevez_Destroy(DavComponent* component) {
  delete component;
}

const char* DavIrizevez_Company(DavComponent* component) {
  return component ? component->company.c_str() : "";
}

const char* DavIrizevez_Name(DavComponent* component) {
  return component ? component->name.c_str() : "";
}

const char* DavIrizevez_Version(DavComponent* component) {
  return component ? component->version.c_str() : "";
}

int DavIrizevez_Installed(DavComponent* component) {
  return component && component->instance.component->Installed() ? 1 : 0;
}

}  // extern "C"
