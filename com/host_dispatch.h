// The host's application object when the host is an automation client: any object that
// answers calls by name. Each of the five operations is looked up by name and invoked
// late-bound, through IDispatch; an object that cannot name its members that way (a script
// language's class, which answers GetIDsOfNames with E_NOTIMPL) is asked through IDispatchEx
// instead. A failing call answers the host's status: the HRESULT, or the error an exception
// raised in the host carries.
#pragma once

#include <oaidl.h>

#include "com/com_ptr.h"
#include "core/host_interface.h"

namespace dav::com {

class DispatchHost : public core::HostApplication {
 public:
  explicit DispatchHost(ComPtr<IDispatch> app) : app_(std::move(app)) {}

  core::HResult PostNotice(const std::string& component, const std::string& code,
                           std::int32_t stage) override;
  core::HResult GetReplyChannel(std::unique_ptr<core::ReplyChannel>* channel) override;
  core::HResult GetClientFolder(std::string* folder) override;
  core::HResult GetClientRegistryKey(std::string* key) override;
  core::HResult GetSpecVersion(std::string* version) override;

 private:
  ComPtr<IDispatch> app_;
};

// Calls the member name of object late-bound with the arguments in order (the first
// argument first); the result, when the call answers one, in *result.
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* arguments,
                   UINT count, VARIANT* result);

}  // namespace dav::com
