// The DLL as a whole: which file it is (its folder is the component folder, where the logs
// and saved documents go), how many of its objects and class factory locks are alive (it
// may be unloaded when none are), and the component over the real PC that each of its
// objects owns.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/component.h"
#include "platform/platform.h"

namespace dav::com {

// Called from DllMain; without it (a program linking the objects directly) the module is
// the program itself.
void SetModule(HMODULE module);
// The full path of the module's file, UTF-8.
std::string ModulePath();
// The folder of the module's file, without a trailing backslash.
std::string ModuleFolder();

// Counts of live objects and server locks, for DllCanUnloadNow.
void ObjectCreated();
void ObjectDestroyed();
void ServerLock(bool lock);
bool CanUnload();

// One component over the real PC, with its component folder.
struct ComponentInstance {
  std::unique_ptr<platform::Platform> platform;
  std::unique_ptr<core::CCDavIrizevez> component;
};
ComponentInstance OpenComponent(std::string componentFolder);

}  // namespace dav::com
