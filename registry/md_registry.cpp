#include "registry/md_registry.h"

#include <array>
#include <cstring>

#include "registry/opened_key.h"
#include "util/ansi_text.h"
#include "util/conversions.h"
#include "util/procedure.h"
#include "util/run_time_error.h"

namespace dav {
namespace {

using platform::kErrorSuccess;
using platform::Registry;

OpenedKey Open(Registry& registry, platform::KeyHandle hive, std::string_view key) {
  platform::KeyHandle handle = platform::kNoKey;
  if (registry.OpenKey(hive, key, &handle) != kErrorSuccess) handle = platform::kNoKey;
  return OpenedKey(registry, handle);
}

OpenedKey Create(Registry& registry, platform::KeyHandle hive, std::string_view key) {
  platform::KeyHandle handle = platform::kNoKey;
  if (registry.CreateKey(hive, key, &handle) != kErrorSuccess) handle = platform::kNoKey;
  return OpenedKey(registry, handle);
}

struct SplitPath {
  std::string_view hiveName;
  std::string_view keyPath;
};

SplitPath Split(std::string_view fullPath) {
  const std::size_t slash = fullPath.find('\\');
  if (slash == std::string_view::npos) return {fullPath, {}};
  return {fullPath.substr(0, slash), fullPath.substr(slash + 1)};
}

// The two-call read of a value: type and size first, then exactly that many bytes.
struct RawValue {
  platform::Status status = platform::kErrorFileNotFound;
  platform::ValueType type = platform::kRegNone;
  std::uint32_t size = 0;
  std::string bytes;
  bool secondReadFailed = false;
};

RawValue QueryTwice(Registry& registry, platform::KeyHandle key, std::string_view name) {
  RawValue value;
  value.status = registry.QueryValue(key, name, &value.type, nullptr, &value.size);
  if (value.status != kErrorSuccess) return value;
  value.bytes.assign(value.size, '\0');
  std::uint32_t size = value.size;
  const auto status = registry.QueryValue(
      key, name, nullptr, reinterpret_cast<std::uint8_t*>(value.bytes.data()), &size);
  value.secondReadFailed = status != kErrorSuccess;
  value.bytes.resize(value.secondReadFailed ? 0 : size);
  return value;
}

std::string UpToNul(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace

std::optional<platform::KeyHandle> mdRegistry::HiveOfName(std::string_view name) {
  static constexpr std::array<std::string_view, 5> kNames = {
      "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
      "HKEY_PERFORMANCE_DATA"};
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (name == kNames[i]) return platform::kHKeyClassesRoot + static_cast<KeyHandle>(i);
  }
  return std::nullopt;
}

std::int32_t mdRegistry::ReadDWORD(KeyHandle hive, std::string_view key, std::string_view name,
                                   std::int32_t defaultValue) {
  std::int32_t result = defaultValue;
  try {
    auto& registry = log_.platform().registry();
    OpenedKey opened = Open(registry, hive, key);
    if (!opened) return result;
    // One read into a 4-byte field: a value of another type, or one that does not fit (the
    // read answers "more data"), gives the default.
    platform::ValueType type = platform::kRegNone;
    std::array<std::uint8_t, 4> data{};
    std::uint32_t size = data.size();
    if (registry.QueryValue(opened.get(), name, &type, data.data(), &size) == kErrorSuccess &&
        type == platform::kRegDword) {
      std::uint32_t bits = 0;
      std::memcpy(&bits, data.data(), sizeof bits);  // stored little-endian, as on Windows
      result = static_cast<std::int32_t>(bits);
    }
  } catch (...) {
    log_.Write("[err: mdRegistry.ReadDWORD] " + util::CurrentFailure().description);
  }
  return result;
}

std::string mdRegistry::ReadString(KeyHandle hive, std::string_view key, std::string_view name,
                                   std::string_view defaultValue) {
  try {
    auto& registry = log_.platform().registry();
    OpenedKey opened = Open(registry, hive, key);
    if (!opened) return std::string(defaultValue);
    const RawValue value = QueryTwice(registry, opened.get(), name);
    if (value.status != kErrorSuccess || value.size == 0) return std::string(defaultValue);
    if (value.type != platform::kRegSz) return {};
    return util::FromAnsi(log_.platform(), UpToNul(value.bytes));
  } catch (...) {
    return std::string(defaultValue);
  }
}

std::optional<std::vector<std::uint8_t>> mdRegistry::ReadBinary(KeyHandle hive,
                                                                std::string_view key,
                                                                std::string_view name) {
  try {
    auto& registry = log_.platform().registry();
    OpenedKey opened = Open(registry, hive, key);
    if (!opened) return std::nullopt;
    const RawValue value = QueryTwice(registry, opened.get(), name);
    if (value.status != kErrorSuccess || value.type != platform::kRegBinary ||
        value.secondReadFailed) {
      return std::nullopt;
    }
    if (value.bytes.empty()) return std::vector<std::uint8_t>{0};
    return std::vector<std::uint8_t>(value.bytes.begin(), value.bytes.end());
  } catch (...) {
    return std::nullopt;
  }
}

void mdRegistry::WriteDWORD(KeyHandle hive, std::string_view key, std::string_view name,
                            std::int32_t value) {
  try {
    auto& registry = log_.platform().registry();
    OpenedKey created = Create(registry, hive, key);
    if (!created) return;
    const auto bits = static_cast<std::uint32_t>(value);
    char data[4];
    std::memcpy(data, &bits, sizeof data);
    registry.SetValue(created.get(), name, platform::kRegDword, std::string_view(data, 4));
  } catch (...) {
  }
}

void mdRegistry::WriteBinary(KeyHandle hive, std::string_view key, std::string_view name,
                             const std::vector<std::uint8_t>& bytes) {
  try {
    auto& registry = log_.platform().registry();
    OpenedKey created = Create(registry, hive, key);
    if (!created) return;
    registry.SetValue(created.get(), name, platform::kRegBinary,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (...) {
  }
}

void mdRegistry::CreateKey(KeyHandle hive, std::string_view key) {
  try {
    Create(log_.platform().registry(), hive, key);
  } catch (...) {
    const util::Failure f = util::CurrentFailure();
    log_.ReportError("mdRegistry.CreateKey", f.number, f.description, false);
  }
}

void mdRegistry::DeleteKey(KeyHandle hive, std::string_view parentKey, std::string_view subKey) {
  try {
    auto& registry = log_.platform().registry();
    OpenedKey parent = Open(registry, hive, parentKey);
    if (!parent) return;
    registry.DeleteKey(parent.get(), subKey);
  } catch (...) {
  }
}

void mdRegistry::RemoveKey(KeyHandle hive, std::string_view key) {
  try {
    log_.platform().registry().DeleteKey(hive, key);
  } catch (...) {
  }
}

void mdRegistry::DeleteValue(KeyHandle hive, std::string_view key, std::string_view name) {
  try {
    auto& registry = log_.platform().registry();
    OpenedKey opened = Open(registry, hive, key);
    if (!opened) return;
    registry.DeleteValue(opened.get(), name);
  } catch (...) {
  }
}

std::string mdRegistry::ReadValue(std::string_view fullPath, std::string_view name,
                                  std::string_view defaultValue) {
  try {
    const SplitPath path = Split(fullPath);
    const std::optional<KeyHandle> hive = HiveOfName(path.hiveName);
    if (!hive) return std::string(defaultValue);
    auto& registry = log_.platform().registry();
    OpenedKey opened = Open(registry, *hive, path.keyPath);
    if (!opened) return std::string(defaultValue);
    platform::ValueType type = platform::kRegNone;
    std::uint32_t size = 0;
    if (registry.QueryValue(opened.get(), name, &type, nullptr, &size) != kErrorSuccess) {
      return std::string(defaultValue);
    }
    switch (type) {
      case platform::kRegSz:
      case platform::kRegMultiSz: {
        std::string bytes(size, '\0');
        if (registry.QueryValue(opened.get(), name, nullptr,
                                reinterpret_cast<std::uint8_t*>(bytes.data()),
                                &size) != kErrorSuccess) {
          return {};
        }
        return util::FromAnsi(log_.platform(), UpToNul(bytes));
      }
      case platform::kRegDword:
      case platform::kRegBinary: {
        // Both are read into a 4-byte field; a binary value gives its first two bytes as a
        // signed 16-bit number (longer binary values are not read by this operation).
        std::array<std::uint8_t, 4> field{};
        std::uint32_t fieldSize = field.size();
        if (registry.QueryValue(opened.get(), name, nullptr, field.data(), &fieldSize) !=
            kErrorSuccess) {
          return {};
        }
        if (type == platform::kRegBinary) {
          const auto low = static_cast<std::uint16_t>(field[0] | (field[1] << 8));
          return std::to_string(static_cast<std::int16_t>(low));
        }
        std::uint32_t bits = 0;
        std::memcpy(&bits, field.data(), sizeof bits);
        return std::to_string(static_cast<std::int32_t>(bits));
      }
      default:
        return std::string(defaultValue);
    }
  } catch (...) {
    return std::string(defaultValue);
  }
}

void mdRegistry::WriteValue(std::string_view fullPath, std::string_view name,
                            std::string_view value, std::int32_t type) {
  try {
    const SplitPath path = Split(fullPath);
    const std::optional<KeyHandle> hive = HiveOfName(path.hiveName);
    if (!hive) return;
    auto& registry = log_.platform().registry();
    OpenedKey created = Create(registry, *hive, path.keyPath);
    if (!created) return;
    if (type == static_cast<std::int32_t>(platform::kRegSz)) {
      registry.SetValue(created.get(), name, platform::kRegSz,
                        util::ToAnsi(log_.platform(), value));
    } else if (type == static_cast<std::int32_t>(platform::kRegDword)) {
      const auto bits = static_cast<std::uint32_t>(util::ToLong(value));
      char data[4];
      std::memcpy(data, &bits, sizeof data);
      registry.SetValue(created.get(), name, platform::kRegDword, std::string_view(data, 4));
    }
  } catch (...) {
  }
}

bool mdRegistry::RegKeyExist(std::string_view fullPath) {
  try {
    const SplitPath path = Split(fullPath);
    const std::optional<KeyHandle> hive = HiveOfName(path.hiveName);
    if (!hive) {
      throw util::RunTimeError(util::kErrInvalidCall, "mdRegistry.RegKeyExist",
                               "Unknown registry hive: " + std::string(path.hiveName));
    }
    auto& registry = log_.platform().registry();
    OpenedKey opened = Open(registry, *hive, path.keyPath);
    if (!opened) return false;
    platform::ValueType type = platform::kRegNone;
    std::uint32_t size = 0;
    registry.QueryValue(opened.get(), "기본값", &type, nullptr, &size);  // answer not used
    return true;
  } catch (...) {
    const util::Failure f = util::CurrentFailure();
    log_.ReportError("mdRegistry.RegKeyExist", f.number, f.description, false);
    return false;
  }
}

}  // namespace dav
