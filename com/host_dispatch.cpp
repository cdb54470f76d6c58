#include "com/host_dispatch.h"

#include <dispex.h>
#include <oleauto.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "com/automation_values.h"

namespace dav::com {
namespace {

// IID_IDispatchEx: dispex.h declares it, but mingw-w64's uuid library does not define it.
constexpr IID kIidDispatchEx = {
    0xa6ef9860, 0xc720, 0x11d0, {0x93, 0x37, 0x00, 0xa0, 0xc9, 0x0d, 0xca, 0xa9}};

// A host method that raised an error answers DISP_E_EXCEPTION; the error it raised is the
// failure the component reports (a script's "Err.Raise 5" is 0x800A0005).
HRESULT RaisedError(HRESULT status, EXCEPINFO& exception) {
  if (status == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    if (FAILED(exception.scode)) {
      status = exception.scode;
    } else if (exception.wCode != 0) {
      status = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, exception.wCode);
    }
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return status;
}

// A reply channel that is an automation object too: SendReply(text, flags), both by
// reference.
class DispatchChannel : public core::ReplyChannel {
 public:
  explicit DispatchChannel(ComPtr<IDispatch> channel) : channel_(std::move(channel)) {}

  core::HResult SendReply(std::string& text, std::int32_t& flags) override {
    BSTR textValue = ToBstr(text);
    if (!textValue && !text.empty()) return E_OUTOFMEMORY;
    LONG flagsValue = flags;
    VARIANT arguments[2];
    arguments[0].vt = VT_BSTR | VT_BYREF;
    arguments[0].pbstrVal = &textValue;
    arguments[1].vt = VT_I4 | VT_BYREF;
    arguments[1].plVal = &flagsValue;
    const HRESULT status =
        CallByName(channel_.get(), L"SendReply", DISPATCH_METHOD, arguments, 2, nullptr);
    // The host may have written to either.
    text = FromBstr(textValue);
    flags = flagsValue;
    SysFreeString(textValue);
    return status;
  }

 private:
  ComPtr<IDispatch> channel_;
};

// A result text of an operation that takes no arguments.
HRESULT TextResult(IDispatch* app, const wchar_t* name, std::string* text) {
  Variant result;
  HRESULT status =
      CallByName(app, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0, result.get());
  if (FAILED(status)) return status;
  return ArgumentText(*result, text);
}

}  // namespace

HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* arguments,
                   UINT count, VARIANT* result) {
  if (!object) return E_POINTER;
  // Automation takes the arguments last first.
  std::vector<VARIANT> reversed(arguments, arguments + count);
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS parameters{reversed.data(), nullptr, count, 0};
  EXCEPINFO exception{};

  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT named = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (SUCCEEDED(named)) {
    UINT argumentError = 0;
    const HRESULT status = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                          result, &exception, &argumentError);
    return RaisedError(status, exception);
  }

  const ComPtr<IDispatchEx> extended =
      ComPtr<IDispatch>::Share(object).Query<IDispatchEx>(kIidDispatchEx);
  if (!extended) return named;
  BSTR nameValue = SysAllocString(name);
  if (!nameValue) return E_OUTOFMEMORY;
  HRESULT status = extended->GetDispID(nameValue, fdexNameCaseInsensitive, &id);
  SysFreeString(nameValue);
  if (FAILED(status)) return status;
  status =
      extended->InvokeEx(id, LOCALE_USER_DEFAULT, flags, &parameters, result, &exception, nullptr);
  return RaisedError(status, exception);
}

core::HResult DispatchHost::PostNotice(const std::string& component, const std::string& code,
                                       std::int32_t stage) {
  BSTR componentValue = ToBstr(component);
  BSTR codeValue = ToBstr(code);
  VARIANT arguments[3];
  arguments[0].vt = VT_BSTR;
  arguments[0].bstrVal = componentValue;
  arguments[1].vt = VT_BSTR;
  arguments[1].bstrVal = codeValue;
  arguments[2].vt = VT_I4;
  arguments[2].lVal = stage;
  const HRESULT status =
      (componentValue && codeValue)
          ? CallByName(app_.get(), L"PostNotice", DISPATCH_METHOD, arguments, 3, nullptr)
          : E_OUTOFMEMORY;
  SysFreeString(componentValue);
  SysFreeString(codeValue);
  return status;
}

core::HResult DispatchHost::GetReplyChannel(std::unique_ptr<core::ReplyChannel>* channel) {
  Variant result;
  const HRESULT status =
      CallByName(app_.get(), L"GetReplyChannel", DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0,
                 result.get());
  if (FAILED(status)) return status;
  ComPtr<IDispatch> object;
  // A result that is no object leaves no channel, which the component reports as a call on
  // Nothing.
  if (SUCCEEDED(ArgumentObject(*result, &object)) && object) {
    *channel = std::make_unique<DispatchChannel>(std::move(object));
  }
  return S_OK;
}

core::HResult DispatchHost::GetClientFolder(std::string* folder) {
  return TextResult(app_.get(), L"GetClientFolder", folder);
}

core::HResult DispatchHost::GetClientRegistryKey(std::string* key) {
  return TextResult(app_.get(), L"GetClientRegistryKey", key);
}

core::HResult DispatchHost::GetSpecVersion(std::string* version) {
  return TextResult(app_.get(), L"GetSpecVersion", version);
}

}  // namespace dav::com
