// An automation object as a script host makes one for a script's class: members called by
// name, found through IDispatchEx::GetDispID. With namesByDispatch false it answers
// IDispatch::GetIDsOfNames with E_NOTIMPL, as the script engine's class objects do; with it
// true it answers both ways. Every call is recorded with its arguments' types and texts.
#pragma once

#include <dispex.h>
#include <oleauto.h>

#include <atomic>
#include <cctype>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "com/automation_values.h"
#include "platform/win32/text.h"

namespace dav::com::testing {

struct RecordedArgument {
  VARTYPE type;
  std::string text;  // the value as text (by reference: the referenced value)
};

struct RecordedCall {
  std::string member;
  std::vector<RecordedArgument> arguments;  // first argument first
};

class FakeScriptObject final : public IDispatchEx {
 public:
  // What a member does: fills *result and answers a status; a failing status with
  // raised set answers DISP_E_EXCEPTION carrying it, as a script's Err.Raise does.
  struct Behaviour {
    std::function<void(VARIANT* result)> answer;
    HRESULT raised = S_OK;
  };

  explicit FakeScriptObject(bool namesByDispatch) : namesByDispatch_(namesByDispatch) {}

  std::map<std::string, Behaviour> members;  // names in lower case
  std::vector<RecordedCall> calls;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    static const IID kIidDispatchEx = {
        0xa6ef9860, 0xc720, 0x11d0, {0x93, 0x37, 0x00, 0xa0, 0xc9, 0x0d, 0xca, 0xa9}};
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kIidDispatchEx)) {
      *object = static_cast<IDispatchEx*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }  // lives on the stack

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                          DISPID* ids) override {
    if (!namesByDispatch_) return E_NOTIMPL;
    return Find(names[0], ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    return Call(id, parameters, result, exception);
  }

  HRESULT STDMETHODCALLTYPE GetDispID(BSTR name, DWORD flags, DISPID* id) override {
    if (!(flags & fdexNameCaseInsensitive)) return DISP_E_UNKNOWNNAME;
    return Find(name, id);
  }
  HRESULT STDMETHODCALLTYPE InvokeEx(DISPID id, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, IServiceProvider*) override {
    return Call(id, parameters, result, exception);
  }
  HRESULT STDMETHODCALLTYPE DeleteMemberByName(BSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteMemberByDispID(DISPID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMemberProperties(DISPID, DWORD, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMemberName(DISPID, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNextDispID(DWORD, DISPID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNameSpaceParent(IUnknown**) override { return E_NOTIMPL; }

  std::atomic<ULONG> references{1};

 private:
  HRESULT Find(const wchar_t* name, DISPID* id) {
    // GetIDsOfNames takes plain strings, GetDispID a BSTR: read either up to the NUL.
    std::string lower = platform::win32::FromWide(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto found = members.find(lower);
    if (found == members.end()) return DISP_E_UNKNOWNNAME;
    *id = static_cast<DISPID>(std::distance(members.begin(), found) + 1);
    return S_OK;
  }

  HRESULT Call(DISPID id, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception) {
    auto member = members.begin();
    std::advance(member, id - 1);
    RecordedCall call{member->first, {}};
    for (UINT i = parameters->cArgs; i-- > 0;) {
      const VARIANT& argument = parameters->rgvarg[i];
      std::string text;
      ArgumentText(argument, &text);
      call.arguments.push_back({argument.vt, text});
    }
    calls.push_back(call);
    if (FAILED(member->second.raised)) {
      *exception = EXCEPINFO{};
      exception->scode = member->second.raised;
      exception->bstrDescription = SysAllocString(L"raised by the host");
      return DISP_E_EXCEPTION;
    }
    if (result && member->second.answer) member->second.answer(result);
    return S_OK;
  }

  bool namesByDispatch_;
};

// An answer of a text.
inline std::function<void(VARIANT*)> AnswerText(const std::string& text) {
  return [text](VARIANT* result) {
    result->vt = VT_BSTR;
    result->bstrVal = ToBstr(text);
  };
}

// An answer of an object.
inline std::function<void(VARIANT*)> AnswerObject(IDispatch* object) {
  return [object](VARIANT* result) {
    object->AddRef();
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
  };
}

// Makes app a host application with the five operations, whose GetReplyChannel answers
// channel, a reply channel with SendReply.
inline void MakeHost(FakeScriptObject& app, FakeScriptObject& channel, const std::string& folder,
                     const std::string& version) {
  app.members["postnotice"] = {};
  app.members["getreplychannel"] = {AnswerObject(&channel)};
  app.members["getclientfolder"] = {AnswerText(folder)};
  app.members["getclientregistrykey"] = {AnswerText("Software\\quorel\\brisal client")};
  app.members["getspecversion"] = {AnswerText(version)};
  channel.members["sendreply"] = {};
}

}  // namespace dav::com::testing
