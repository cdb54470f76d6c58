// What regsvr32 writes for the DLL and takes away again, below HKEY_CLASSES_ROOT:
//
//   DavIrizevez.CCDavIrizevez            (default) "DavIrizevez.CCDavIrizevez"
//   DavIrizevez.CCDavIrizevez\CLSID      (default) the CLSID
//   CLSID\{CLSID}                        (default) "DavIrizevez.CCDavIrizevez"
//   CLSID\{CLSID}\InprocServer32         (default) the DLL's path, ThreadingModel "Apartment"
//   CLSID\{CLSID}\ProgID                 (default) "DavIrizevez.CCDavIrizevez"
//   CLSID\{CLSID}\VersionIndependentProgID   (default) "DavIrizevez.CCDavIrizevez"
//
// The ProgID carries no version, so it is its own version-independent ProgID. The Windows
// installer (packaging/windows/DavIrizevez.wxs) writes the same rows as its own.
//
// Unregistering deletes exactly these keys; a key that someone else gave further subkeys
// stays, and the ProgID stays when it names another CLSID (another server took it over).
#pragma once

#include <string>

#include "platform/registry.h"

namespace dav::com {

inline constexpr char kProgId[] = "DavIrizevez.CCDavIrizevez";
// The CLSID in registry form.
inline constexpr char kClsidText[] = "{B36C561C-F414-4C5F-93B2-247590894D86}";

// Both answer the first failing registry status, kErrorSuccess when all went well.
platform::Status RegisterServer(platform::Registry& registry, const std::string& modulePath);
platform::Status UnregisterServer(platform::Registry& registry);

}  // namespace dav::com
