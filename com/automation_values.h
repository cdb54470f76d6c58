// Values crossing the automation boundary. Strings arrive and leave as BSTR (UTF-16) and are
// UTF-8 inside the component; arguments arrive as VARIANTs of whatever type the caller had
// at hand (a script passes its variables by reference, a number where a Boolean is meant)
// and are coerced as automation does.
#pragma once

#include <oaidl.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "com/com_ptr.h"

namespace dav::com {

// A null BSTR is the empty string. UTF-16 that is not well formed (a lone surrogate)
// becomes U+FFFD.
std::string FromBstr(BSTR text);
// A new BSTR the caller frees (SysFreeString); null when memory runs out.
BSTR ToBstr(std::string_view utf8);

// A VARIANT that clears itself.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }

 private:
  VARIANT value_;
};

// Coercions of one argument, by reference or not. Each returns the COM status: S_OK, or
// DISP_E_TYPEMISMATCH (or what VariantChangeType answered) when the value has no such form.
HRESULT ArgumentText(const VARIANT& argument, std::string* text);
HRESULT ArgumentBoolean(const VARIANT& argument, bool* value);
// An automation object, or none for Nothing, Empty and Null.
HRESULT ArgumentObject(const VARIANT& argument, ComPtr<IDispatch>* object);

}  // namespace dav::com
