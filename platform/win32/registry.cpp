#include "platform/win32/registry.h"

#include <string>

#include "platform/win32/text.h"

namespace dav::platform::win32 {
namespace {

// The longest names the registry holds are 16383 characters; in a double-byte or UTF-8 code
// page that is at most four bytes each.
constexpr DWORD kNameBufferLimit = 16384 * 4;

HKEY PredefinedKey(KeyHandle key) {
  switch (key) {
    case kHKeyClassesRoot:
      return HKEY_CLASSES_ROOT;
    case kHKeyCurrentUser:
      return HKEY_CURRENT_USER;
    case kHKeyLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case kHKeyUsers:
      return HKEY_USERS;
    case kHKeyPerformanceData:
      return HKEY_PERFORMANCE_DATA;
    default:
      return nullptr;
  }
}

bool Succeeded(LONG status) {
  return status == ERROR_SUCCESS;
}

}  // namespace

Win32Registry::~Win32Registry() {
  for (const auto& [handle, hkey] : open_) RegCloseKey(hkey);
}

// An unknown handle becomes a null HKEY, and Windows itself answers for it
// (ERROR_INVALID_HANDLE), exactly as it would for a stale handle of its own.
HKEY Win32Registry::Lookup(KeyHandle key) const {
  if (IsPredefinedKey(key)) return PredefinedKey(key);
  const auto found = open_.find(key);
  return found == open_.end() ? nullptr : found->second;
}

KeyHandle Win32Registry::Remember(HKEY hkey) {
  while (next_ == kNoKey || IsPredefinedKey(next_) || open_.count(next_) != 0) ++next_;
  const KeyHandle handle = next_++;
  open_.emplace(handle, hkey);
  return handle;
}

Status Win32Registry::OpenKey(KeyHandle parent, std::string_view subKey, KeyHandle* result) {
  if (result == nullptr) return kErrorInvalidParameter;
  *result = kNoKey;
  HKEY hkey = nullptr;
  const LONG status =
      RegOpenKeyExA(Lookup(parent), ToAnsi(subKey).c_str(), 0, KEY_ALL_ACCESS, &hkey);
  if (Succeeded(status)) *result = Remember(hkey);
  return status;
}

Status Win32Registry::CreateKey(KeyHandle parent, std::string_view subKey, KeyHandle* result,
                                bool* created) {
  if (result == nullptr) return kErrorInvalidParameter;
  *result = kNoKey;
  HKEY hkey = nullptr;
  DWORD disposition = 0;
  const LONG status =
      RegCreateKeyExA(Lookup(parent), ToAnsi(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &hkey, &disposition);
  if (Succeeded(status)) {
    *result = Remember(hkey);
    if (created != nullptr) *created = disposition == REG_CREATED_NEW_KEY;
  }
  return status;
}

Status Win32Registry::CloseKey(KeyHandle key) {
  if (IsPredefinedKey(key)) return kErrorSuccess;
  const auto found = open_.find(key);
  if (found == open_.end()) return RegCloseKey(nullptr);
  const LONG status = RegCloseKey(found->second);
  open_.erase(found);
  return status;
}

Status Win32Registry::DeleteKey(KeyHandle parent, std::string_view subKey) {
  return RegDeleteKeyA(Lookup(parent), ToAnsi(subKey).c_str());
}

Status Win32Registry::SetValue(KeyHandle key, std::string_view name, ValueType type,
                               std::string_view data) {
  // A std::string keeps a NUL after its bytes, so string data given without a terminator
  // reach RegSetValueExA as a C string whose length left the NUL out, and Windows stores
  // the terminator with them.
  const std::string bytes(data);
  return RegSetValueExA(Lookup(key), ToAnsi(name).c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(bytes.c_str()),
                        static_cast<DWORD>(bytes.size()));
}

Status Win32Registry::QueryValue(KeyHandle key, std::string_view name, ValueType* type,
                                 std::uint8_t* data, std::uint32_t* size) {
  DWORD typeOut = 0;
  DWORD sizeOut = size != nullptr ? *size : 0;
  const LONG status = RegQueryValueExA(Lookup(key), ToAnsi(name).c_str(), nullptr,
                                       type != nullptr ? &typeOut : nullptr, data,
                                       size != nullptr ? &sizeOut : nullptr);
  if (Succeeded(status) || status == ERROR_MORE_DATA) {
    if (type != nullptr) *type = typeOut;
    if (size != nullptr) *size = sizeOut;
  }
  return status;
}

Status Win32Registry::DeleteValue(KeyHandle key, std::string_view name) {
  return RegDeleteValueA(Lookup(key), ToAnsi(name).c_str());
}

Status Win32Registry::EnumKey(KeyHandle key, std::uint32_t index, std::string* name) {
  const HKEY hkey = Lookup(key);
  for (DWORD capacity = 1024;; capacity *= 4) {
    std::string buffer(capacity, '\0');
    DWORD length = capacity;
    const LONG status =
        RegEnumKeyExA(hkey, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA && capacity < kNameBufferLimit) continue;
    if (Succeeded(status)) *name = FromAnsi(std::string_view(buffer.data(), length));
    return status;
  }
}

Status Win32Registry::EnumValue(KeyHandle key, std::uint32_t index, std::string* name,
                                ValueType* type, std::string* data) {
  const HKEY hkey = Lookup(key);
  for (DWORD capacity = 1024;; capacity *= 4) {
    std::string nameBuffer(capacity, '\0');
    DWORD nameLength = capacity;
    DWORD typeOut = 0;
    DWORD dataSize = 0;
    // First the name, type and size of the data; then the data into a buffer of that size.
    LONG status = RegEnumValueA(hkey, index, nameBuffer.data(), &nameLength, nullptr, &typeOut,
                                nullptr, &dataSize);
    if (status == ERROR_MORE_DATA && capacity < kNameBufferLimit) continue;
    if (!Succeeded(status)) return status;
    std::string dataBuffer(dataSize, '\0');
    nameLength = capacity;
    status = RegEnumValueA(hkey, index, nameBuffer.data(), &nameLength, nullptr, &typeOut,
                           reinterpret_cast<BYTE*>(dataBuffer.data()), &dataSize);
    if (status == ERROR_MORE_DATA && capacity < kNameBufferLimit) continue;  // it grew
    if (!Succeeded(status)) return status;
    if (name != nullptr) *name = FromAnsi(std::string_view(nameBuffer.data(), nameLength));
    if (type != nullptr) *type = typeOut;
    if (data != nullptr) *data = dataBuffer.substr(0, dataSize);
    return status;
  }
}

Status Win32Registry::QueryInfoKey(KeyHandle key, KeyInfo* info) {
  DWORD subKeys = 0;
  DWORD maxSubKeyLen = 0;
  DWORD values = 0;
  DWORD maxValueNameLen = 0;
  DWORD maxValueLen = 0;
  const LONG status =
      RegQueryInfoKeyA(Lookup(key), nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr,
                       &values, &maxValueNameLen, &maxValueLen, nullptr, nullptr);
  if (Succeeded(status) && info != nullptr) {
    info->subKeys = subKeys;
    info->maxSubKeyLen = maxSubKeyLen;
    info->values = values;
    info->maxValueNameLen = maxValueNameLen;
    info->maxValueLen = maxValueLen;
  }
  return status;
}

}  // namespace dav::platform::win32
