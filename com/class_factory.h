// The class factory that DllGetClassObject hands out for CCDavIrizevez.
#pragma once

#include <unknwn.h>

namespace dav::com {

// The factory for the CLSID, asked for iid; CLASS_E_CLASSNOTAVAILABLE for another CLSID.
HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** object);

}  // namespace dav::com
