// The creatable class CCDavIrizevez as an automation object: IDispatch over the members of
// members.h, each call handed to the component that the object owns. The component runs on
// the real PC with the DLL's folder as its component folder.
//
// Arguments arrive as whatever VARIANT the caller had and are coerced; a call with the wrong
// number of arguments, named arguments, or an argument without the needed form is refused
// with the usual DISP_E_ status before it reaches the component. The component's own
// operations never fail towards the host (they log); only IClientComponent_Terminate can,
// and its failure arrives as DISP_E_EXCEPTION with the error's description. No C++
// exception ever leaves a COM call.
#pragma once

#include <oaidl.h>

#include <atomic>

#include "com/module.h"

namespace dav::com {

// The CLSID that DavIrizevez.CCDavIrizevez is registered under.
extern const CLSID kClsidCCDavIrizevez;

class ComponentObject final : public IDispatch {
 public:
  // A new object (the component folder is the DLL's), asked for the interface iid.
  static HRESULT Create(REFIID iid, void** object);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

 private:
  explicit ComponentObject(ComponentInstance instance);
  ~ComponentObject();

  std::atomic<ULONG> references_{1};
  ComponentInstance instance_;
};

}  // namespace dav::com
