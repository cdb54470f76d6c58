// The registry through the advapi32 ANSI calls. Our key handles are small numbers mapped to
// the HKEYs that Windows hands out; the predefined hives map to HKEY_* directly.
#pragma once

#include <unordered_map>

#include "platform/registry.h"
#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {

class Win32Registry : public Registry {
 public:
  Win32Registry() = default;
  ~Win32Registry() override;
  Win32Registry(const Win32Registry&) = delete;
  Win32Registry& operator=(const Win32Registry&) = delete;

  Status OpenKey(KeyHandle parent, std::string_view subKey, KeyHandle* result) override;
  Status CreateKey(KeyHandle parent, std::string_view subKey, KeyHandle* result,
                   bool* created) override;
  Status CloseKey(KeyHandle key) override;
  Status DeleteKey(KeyHandle parent, std::string_view subKey) override;
  Status SetValue(KeyHandle key, std::string_view name, ValueType type,
                  std::string_view data) override;
  Status QueryValue(KeyHandle key, std::string_view name, ValueType* type, std::uint8_t* data,
                    std::uint32_t* size) override;
  Status DeleteValue(KeyHandle key, std::string_view name) override;
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string* name) override;
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string* name, ValueType* type,
                   std::string* data) override;
  Status QueryInfoKey(KeyHandle key, KeyInfo* info) override;

 private:
  // The HKEY behind a handle of ours, or null for 0 and unknown handles.
  HKEY Lookup(KeyHandle key) const;
  KeyHandle Remember(HKEY hkey);

  std::unordered_map<KeyHandle, HKEY> open_;
  KeyHandle next_ = 1;
};

}  // namespace dav::platform::win32
