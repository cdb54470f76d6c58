#include "com/automation_values.h"

#include <oleauto.h>

#include "platform/win32/text.h"

namespace dav::com {
namespace {

// The argument with any reference taken away (a script's variable arrives as a reference to
// a VARIANT).
HRESULT Dereferenced(const VARIANT& argument, Variant* value) {
  return VariantCopyInd(value->get(), const_cast<VARIANT*>(&argument));
}

HRESULT Coerced(const VARIANT& argument, VARTYPE type, Variant* value) {
  Variant plain;
  HRESULT status = Dereferenced(argument, &plain);
  if (FAILED(status)) return status;
  return VariantChangeType(value->get(), plain.get(), 0, type);
}

}  // namespace

std::string FromBstr(BSTR text) {
  if (!text) return {};
  return platform::win32::FromWide(std::wstring_view(text, SysStringLen(text)));
}

BSTR ToBstr(std::string_view utf8) {
  const std::wstring wide = platform::win32::ToWide(utf8);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

HRESULT ArgumentText(const VARIANT& argument, std::string* text) {
  Variant value;
  const HRESULT status = Coerced(argument, VT_BSTR, &value);
  if (SUCCEEDED(status)) *text = FromBstr((*value).bstrVal);
  return status;
}

HRESULT ArgumentBoolean(const VARIANT& argument, bool* result) {
  Variant value;
  const HRESULT status = Coerced(argument, VT_BOOL, &value);
  if (SUCCEEDED(status)) *result = (*value).boolVal != VARIANT_FALSE;
  return status;
}

HRESULT ArgumentObject(const VARIANT& argument, ComPtr<IDispatch>* object) {
  Variant value;
  const HRESULT status = Dereferenced(argument, &value);
  if (FAILED(status)) return status;
  switch ((*value).vt) {
    case VT_EMPTY:
    case VT_NULL:
      *object = ComPtr<IDispatch>();
      return S_OK;
    case VT_DISPATCH:
      *object = ComPtr<IDispatch>::Share((*value).pdispVal);
      return S_OK;
    case VT_UNKNOWN: {
      // An object that offers no IDispatch cannot be called by name: a mismatch.
      if (!(*value).punkVal) {
        *object = ComPtr<IDispatch>();
        return S_OK;
      }
      *object = ComPtr<IUnknown>::Share((*value).punkVal).Query<IDispatch>(IID_IDispatch);
      return *object ? S_OK : DISP_E_TYPEMISMATCH;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

}  // namespace dav::com
