#include "com/registration.h"

#include <cstring>
#include <vector>

namespace dav::com {
namespace {

using platform::kErrorSuccess;
using platform::Status;

const std::string kClsidKey = std::string("CLSID\\") + kClsidText;

Status SetText(platform::Registry& registry, const std::string& key, const char* name,
               const std::string& text) {
  platform::KeyHandle handle = platform::kNoKey;
  Status status = registry.CreateKey(platform::kHKeyClassesRoot, key, &handle);
  if (status != kErrorSuccess) return status;
  status = registry.SetValue(handle, name, platform::kRegSz, text);
  registry.CloseKey(handle);
  return status;
}

// The key's default text, empty when it has none.
std::string DefaultText(platform::Registry& registry, const std::string& key) {
  platform::KeyHandle handle = platform::kNoKey;
  if (registry.OpenKey(platform::kHKeyClassesRoot, key, &handle) != kErrorSuccess) return {};
  std::vector<std::uint8_t> data(256);
  std::uint32_t size = static_cast<std::uint32_t>(data.size());
  platform::ValueType type = platform::kRegNone;
  const Status status = registry.QueryValue(handle, "", &type, data.data(), &size);
  registry.CloseKey(handle);
  if (status != kErrorSuccess || type != platform::kRegSz) return {};
  return std::string(reinterpret_cast<const char*>(data.data()),
                     strnlen(reinterpret_cast<const char*>(data.data()), size));
}

// A key that is not there is as good as deleted.
Status Delete(platform::Registry& registry, const std::string& key) {
  const Status status = registry.DeleteKey(platform::kHKeyClassesRoot, key);
  return status == platform::kErrorFileNotFound ? kErrorSuccess : status;
}

}  // namespace

Status RegisterServer(platform::Registry& registry, const std::string& modulePath) {
  const std::string progIdKey = kProgId;
  const struct {
    std::string key;
    const char* name;
    std::string text;
  } values[] = {
      {progIdKey, "", kProgId},
      {progIdKey + "\\CLSID", "", kClsidText},
      {kClsidKey, "", kProgId},
      {kClsidKey + "\\InprocServer32", "", modulePath},
      {kClsidKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {kClsidKey + "\\ProgID", "", kProgId},
      {kClsidKey + "\\VersionIndependentProgID", "", kProgId},
  };
  for (const auto& value : values) {
    const Status status = SetText(registry, value.key, value.name, value.text);
    if (status != kErrorSuccess) return status;
  }
  return kErrorSuccess;
}

Status UnregisterServer(platform::Registry& registry) {
  Status first = kErrorSuccess;
  const auto step = [&first](Status status) {
    if (first == kErrorSuccess) first = status;
  };
  const std::string progIdKey = kProgId;
  const std::string progIdClsid = DefaultText(registry, progIdKey + "\\CLSID");
  if (progIdClsid.empty() || _stricmp(progIdClsid.c_str(), kClsidText) == 0) {
    step(Delete(registry, progIdKey + "\\CLSID"));
    step(Delete(registry, progIdKey));
  }
  step(Delete(registry, kClsidKey + "\\InprocServer32"));
  step(Delete(registry, kClsidKey + "\\ProgID"));
  step(Delete(registry, kClsidKey + "\\VersionIndependentProgID"));
  step(Delete(registry, kClsidKey));
  return first;
}

}  // namespace dav::com
