#include "com/component_object.h"

#include <oleauto.h>

#include <exception>
#include <utility>

#include "com/members.h"
#include "platform/win32/text.h"
#include "util/run_time_error.h"

namespace dav::com {

// {B36C561C-F414-4C5F-93B2-247590894D86}
const CLSID kClsidCCDavIrizevez = {
    0xb36c561c, 0xf414, 0x4c5f, {0x93, 0xb2, 0x24, 0x75, 0x90, 0x89, 0x4d, 0x86}};

namespace {

// What a failure of the component looks like to an automation caller.
void Describe(EXCEPINFO* exception, const std::string& source, const std::string& description) {
  if (!exception) return;
  *exception = EXCEPINFO{};
  exception->scode = E_FAIL;
  exception->bstrSource = SysAllocString(platform::win32::ToWide(source).c_str());
  exception->bstrDescription = SysAllocString(platform::win32::ToWide(description).c_str());
}

}  // namespace

ComponentObject::ComponentObject(ComponentInstance instance) : instance_(std::move(instance)) {
  ObjectCreated();
}

ComponentObject::~ComponentObject() {
  ObjectDestroyed();
}

HRESULT ComponentObject::Create(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  ComponentObject* created = nullptr;
  try {
    created = new ComponentObject(OpenComponent(ModuleFolder()));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
  const HRESULT status = created->QueryInterface(iid, object);
  created->Release();
  return status;
}

HRESULT ComponentObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ComponentObject::AddRef() {
  return ++references_;
}

ULONG ComponentObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT ComponentObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;  // late-bound only: no type library
  return S_OK;
}

HRESULT ComponentObject::GetTypeInfo(UINT /*index*/, LCID /*locale*/, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT ComponentObject::GetIDsOfNames(REFIID /*iid*/, LPOLESTR* names, UINT count, LCID /*locale*/,
                                       DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  // The further names would be named arguments, which no member takes.
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  ids[0] = MemberId(names[0]);
  return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT ComponentObject::Invoke(DISPID id, REFIID iid, LCID /*locale*/, WORD flags,
                                DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                UINT* argumentError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  const Member* member = MemberById(id);
  if (!member) return DISP_E_MEMBERNOTFOUND;
  // A member is called as a method or read as a property; only those with a put are assigned.
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (put ? !member->put : !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) {
    return DISP_E_MEMBERNOTFOUND;
  }
  if (!parameters) return E_INVALIDARG;
  // An assignment passes its value as the one argument, named DISPID_PROPERTYPUT.
  const unsigned arguments = put ? 1 : member->arguments;
  const unsigned named = put ? 1 : 0;
  if (parameters->cNamedArgs != named ||
      (put && parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) {
    return DISP_E_NONAMEDARGS;
  }
  if (parameters->cArgs != arguments) return DISP_E_BADPARAMCOUNT;
  if (result) VariantInit(result);

  Invocation call(*instance_.component, *parameters, result);
  try {
    (put ? member->put : member->run)(call);
    return S_OK;
  } catch (const ArgumentMismatch& mismatch) {
    // The position automation counts from the last argument.
    if (argumentError) *argumentError = arguments - 1 - mismatch.position;
    return mismatch.status == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
  } catch (const util::RunTimeError& error) {
    Describe(exception, "DavIrizevez.CCDavIrizevez", error.description());
  } catch (const std::exception& error) {
    Describe(exception, "DavIrizevez.CCDavIrizevez", error.what());
  } catch (...) {
    Describe(exception, "DavIrizevez.CCDavIrizevez", "Unexpected error");
  }
  return DISP_E_EXCEPTION;
}

}  // namespace dav::com
