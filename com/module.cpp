#include "com/module.h"

#include <atomic>
#include <vector>

#include "editors/win32/win32_form_ui.h"
#include "platform/open_platform.h"
#include "platform/win32/text.h"

namespace dav::com {
namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

}  // namespace

void SetModule(HMODULE module) {
  g_module = module;
}

std::string ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(g_module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      return platform::win32::FromWide(std::wstring_view(buffer.data(), length));
    }
    buffer.resize(buffer.size() * 2);  // the path was cut short
  }
}

std::string ModuleFolder() {
  const std::string path = ModulePath();
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void ObjectCreated() {
  ++g_objects;
}

void ObjectDestroyed() {
  --g_objects;
}

void ServerLock(bool lock) {
  if (lock) {
    ++g_locks;
  } else {
    --g_locks;
  }
}

bool CanUnload() {
  return g_objects == 0 && g_locks == 0;
}

ComponentInstance OpenComponent(std::string componentFolder) {
  ComponentInstance instance;
  instance.platform = platform::OpenPlatform({}, false);
  instance.component =
      std::make_unique<core::CCDavIrizevez>(*instance.platform, std::move(componentFolder));
  // The editors open as modal windows on the host's thread where there is a desktop.
  if (editors::win32::Win32FormUi::DesktopAvailable()) {
    instance.component->SetFormUi(std::make_shared<editors::win32::Win32FormUi>());
  }
  return instance;
}

}  // namespace dav::com
