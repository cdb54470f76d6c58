#include "registry/md_spm.h"

#include <algorithm>
#include <cctype>

#include "registry/opened_key.h"
#include "util/ansi_text.h"
#include "util/procedure.h"
#include "util/run_time_error.h"

namespace dav {
namespace {

using platform::kErrorSuccess;

std::string_view UpToNul(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

// Only spaces: a value of tabs is a value.
bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

constexpr std::string_view kProtectedEntries[] = {"KVService", "qrlacc",        "brisal scheduler",
                                                  "qrltrans",  "qrlinstallerC", "qrlinstallerS",
                                                  "qrlSCH",    "qrlgc"};

}  // namespace

bool mdSPM::SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool mdSPM::IsProtectedEntry(std::string_view name) {
  return std::any_of(std::begin(kProtectedEntries), std::end(kProtectedEntries),
                     [name](std::string_view entry) { return SameName(name, entry); });
}

void mdSPM::Raise(const char* source) {
  const util::Failure f = util::CurrentFailure();
  log_.ReportError(source, f.number, f.description, false);
  throw util::RunTimeError(f.number, source, f.description);  // not reached
}

mdSPM::KeyHandle mdSPM::GetRegHKey(KeyHandle hKey, std::string_view key) {
  try {
    KeyHandle result = platform::kNoKey;
    if (log_.platform().registry().OpenKey(hKey, key, &result) != kErrorSuccess) {
      return platform::kNoKey;
    }
    return result;
  } catch (...) {
    Raise("mdSPM.GetRegHKey");
  }
}

std::int32_t mdSPM::GetCntKey(KeyHandle hKey) {
  try {
    platform::KeyInfo info;
    if (log_.platform().registry().QueryInfoKey(hKey, &info) != kErrorSuccess) return 0;
    return static_cast<std::int32_t>(info.subKeys);
  } catch (...) {
    Raise("mdSPM.GetCntKey");
  }
}

std::int32_t mdSPM::GetCntValues(KeyHandle hKey) {
  try {
    platform::KeyInfo info;
    if (log_.platform().registry().QueryInfoKey(hKey, &info) != kErrorSuccess) return 0;
    return static_cast<std::int32_t>(info.values);
  } catch (...) {
    Raise("mdSPM.GetCntValues");
  }
}

bool mdSPM::EnumRegKey(KeyHandle hKey, std::int32_t index, std::string& name) {
  try {
    std::string found;
    const bool ok =
        index >= 0 && log_.platform().registry().EnumKey(hKey, static_cast<std::uint32_t>(index),
                                                         &found) == kErrorSuccess;
    // The name and its NUL must fit the buffer; the rest of the buffer keeps its blanks.
    const std::size_t ansiLength = ok ? util::AnsiLength(log_.platform(), found) : 0;
    if (!ok || ansiLength + 1 > kBufferSize) {
      name.assign(kBufferSize, ' ');
      return false;
    }
    name = found;
    name += '\0';
    name.append(kBufferSize - ansiLength - 1, ' ');
    return true;
  } catch (...) {
    Raise("mdSPM.EnumRegKey");
  }
}

bool mdSPM::CreateRegKey(KeyHandle parent, std::string_view key, KeyHandle& newKey) {
  auto& registry = log_.platform().registry();
  try {
    const OpenedKey closeParent(registry, parent);
    KeyHandle created = platform::kNoKey;
    const bool ok = registry.CreateKey(parent, key, &created) == kErrorSuccess;
    if (ok) newKey = created;
    return ok;
  } catch (...) {
    Raise("mdSPM.CreateRegKey");
  }
}

bool mdSPM::DeleteRegKey(KeyHandle parent, std::string_view key) {
  auto& registry = log_.platform().registry();
  try {
    const OpenedKey closeParent(registry, parent);
    return registry.DeleteKey(parent, key) == kErrorSuccess;
  } catch (...) {
    Raise("mdSPM.DeleteRegKey");
  }
}

bool mdSPM::GetRegValue(KeyHandle hive, std::string_view key, std::string_view name,
                        std::int32_t /*type*/, std::string& value, std::int32_t& size) {
  try {
    auto& registry = log_.platform().registry();
    std::string buffer(kBufferSize, '\0');
    std::uint32_t returned = kBufferSize;
    size = static_cast<std::int32_t>(kBufferSize);
    const KeyHandle opened = GetRegHKey(hive, key);
    if (opened == platform::kNoKey) return false;
    const OpenedKey closeKey(registry, opened);
    const auto status = registry.QueryValue(
        opened, name, nullptr, reinterpret_cast<std::uint8_t*>(buffer.data()), &returned);
    if (status != kErrorSuccess) return false;
    size = static_cast<std::int32_t>(returned);
    // The reported size counts the terminating NUL; the text ends at the first NUL within
    // it, so a value stored without its NUL keeps its last character.
    if (returned != 0) {
      value =
          util::FromAnsi(log_.platform(), UpToNul(std::string_view(buffer).substr(0, returned)));
    }
    return true;
  } catch (...) {
    Raise("mdSPM.GetRegValue");
  }
}

std::string mdSPM::GetRegValueDefault(KeyHandle hive, std::string_view key, std::string_view name,
                                      std::string_view defaultValue) {
  std::string value;
  std::int32_t size = 0;
  GetRegValue(hive, key, name, platform::kRegSz, value, size);
  return IsBlank(value) ? std::string(defaultValue) : value;
}

bool mdSPM::SetRegValue(KeyHandle hive, std::string_view key, std::string_view name,
                        std::int32_t type, std::string& value) {
  try {
    auto& registry = log_.platform().registry();
    KeyHandle created = platform::kNoKey;
    if (!CreateRegKey(hive, key, created)) return false;
    const OpenedKey closeKey(registry, created);
    const std::string text = value;
    if (registry.SetValue(created, name, static_cast<platform::ValueType>(type),
                          util::ToAnsi(log_.platform(), text)) != kErrorSuccess) {
      return false;
    }
    value = text;
    return true;
  } catch (...) {
    Raise("mdSPM.SetRegValue");
  }
}

bool mdSPM::DeleteRegValueName(KeyHandle hive, std::string_view key, std::string_view name) {
  try {
    auto& registry = log_.platform().registry();
    const KeyHandle opened = GetRegHKey(hive, key);
    if (opened == platform::kNoKey) return false;
    const OpenedKey closeKey(registry, opened);
    return registry.DeleteValue(opened, name) == kErrorSuccess;
  } catch (...) {
    Raise("mdSPM.DeleteRegValueName");
  }
}

std::int32_t mdSPM::EnumRegValues(KeyHandle hive, std::string_view key, std::int32_t index,
                                  std::string& name, std::int32_t& nameLength, std::int32_t& type,
                                  std::string& data, std::int32_t& dataSize, std::int32_t& count) {
  try {
    nameLength = static_cast<std::int32_t>(kBufferSize);
    dataSize = static_cast<std::int32_t>(kBufferSize);
    const KeyHandle opened = GetRegHKey(hive, key);
    if (opened == platform::kNoKey) {
      if (index == 0) count = 0;  // a key that cannot be opened has no values to count
      return 0;
    }
    const OpenedKey closeKey(log_.platform().registry(), opened);
    return EnumOpenRegValues(opened, index, name, nameLength, type, data, dataSize, count);
  } catch (...) {
    Raise("mdSPM.EnumRegValues");
  }
}

std::int32_t mdSPM::EnumOpenRegValues(KeyHandle openKey, std::int32_t index, std::string& name,
                                      std::int32_t& nameLength, std::int32_t& type,
                                      std::string& data, std::int32_t& dataSize,
                                      std::int32_t& count) {
  try {
    auto& registry = log_.platform().registry();
    nameLength = static_cast<std::int32_t>(kBufferSize);
    dataSize = static_cast<std::int32_t>(kBufferSize);
    if (index == 0) count = GetCntValues(openKey);
    std::string foundName;
    std::string foundData;
    platform::ValueType foundType = platform::kRegNone;
    const bool ok =
        index >= 0 && registry.EnumValue(openKey, static_cast<std::uint32_t>(index), &foundName,
                                         &foundType, &foundData) == kErrorSuccess;
    if (!ok) return 0;
    // Name (with its NUL) and data must fit the 255-byte buffers, reckoned in ANSI bytes so
    // that Korean text counts two bytes a character and comes back whole.
    const std::size_t ansiNameLength = util::AnsiLength(log_.platform(), foundName);
    if (ansiNameLength + 1 > kBufferSize || foundData.size() > kBufferSize) return 0;
    name = foundName;
    nameLength = static_cast<std::int32_t>(ansiNameLength);
    type = static_cast<std::int32_t>(foundType);
    dataSize = static_cast<std::int32_t>(foundData.size());
    data = foundData.empty() ? std::string() : util::FromAnsi(log_.platform(), UpToNul(foundData));
    return 1;
  } catch (...) {
    Raise("mdSPM.EnumRegValues");
  }
}

}  // namespace dav
