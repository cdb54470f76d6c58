// The DLL's entry points: DllMain and the four functions of an in-process COM server. The
// C interface's functions are in c_interface.cpp; DavIrizevez.def lists every export under
// its plain name.
#include <olectl.h>
#include <windows.h>

#include "com/class_factory.h"
#include "com/module.h"
#include "com/registration.h"
#include "platform/open_platform.h"
#include "platform/win32/text.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  // Thread notifications stay on: the statically linked runtime needs them.
  if (reason == DLL_PROCESS_ATTACH) dav::com::SetModule(instance);
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return dav::com::GetClassFactory(clsid, iid, object);
}

HRESULT WINAPI DllCanUnloadNow() {
  return dav::com::CanUnload() ? S_OK : S_FALSE;
}

HRESULT WINAPI DllRegisterServer() {
  try {
    const std::string path = dav::com::ModulePath();
    // The registry's text calls take the ANSI code page: a path it cannot hold would be
    // registered as a different, missing file.
    namespace win32 = dav::platform::win32;
    if (path.empty() || win32::FromAnsi(win32::ToAnsi(path)) != path) return SELFREG_E_CLASS;
    auto platform = dav::platform::OpenPlatform({}, false);
    if (dav::com::RegisterServer(platform->registry(), path) != dav::platform::kErrorSuccess) {
      dav::com::UnregisterServer(platform->registry());  // no half registration
      return SELFREG_E_CLASS;
    }
    return S_OK;
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}

HRESULT WINAPI DllUnregisterServer() {
  try {
    auto platform = dav::platform::OpenPlatform({}, false);
    return dav::com::UnregisterServer(platform->registry()) == dav::platform::kErrorSuccess
               ? S_OK
               : SELFREG_E_CLASS;
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}

}  // extern "C"
