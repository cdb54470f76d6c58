#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/code_page.h"

namespace dav::platform::sim {
namespace {

// The first handle number handed out; like Windows handles they are multiples of 4.
constexpr KeyHandle kFirstHandle = 0x100;
// Windows refuses key names longer than 255 characters.
constexpr std::size_t kMaxKeyNameChars = 255;

std::int64_t RootId(KeyHandle hive) {
  return static_cast<std::int64_t>(hive - kHKeyClassesRoot) + 1;
}

// Splits a key path into its levels. A path may not start with "\"; runs of "\" between
// levels count as one and a trailing "\" is ignored, as the registry parses paths.
Status SplitKeyPath(std::string_view path, std::vector<std::string_view>* levels) {
  if (!path.empty() && path.front() == '\\') return kErrorBadPathname;
  std::size_t pos = 0;
  while (pos < path.size()) {
    const std::size_t end = std::min(path.find('\\', pos), path.size());
    if (end > pos) levels->push_back(path.substr(pos, end - pos));
    pos = end + 1;
  }
  return kErrorSuccess;
}

// The length of UTF-8 text in UTF-16 units, the form in which the registry keeps names and
// strings (a character outside the BMP takes two).
std::uint32_t Utf16Units(std::string_view utf8) {
  std::uint32_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++units;
    if (byte >= 0xF0) ++units;
  }
  return units;
}

bool IsPerformanceData(std::int64_t id) {
  return id == RootId(kHKeyPerformanceData);
}

}  // namespace

SimRegistry::SimRegistry(Database& db, std::function<std::uint32_t()> codePage)
    : db_(db), codePage_(std::move(codePage)), nextHandle_(kFirstHandle) {}

template <typename Body>
Status SimRegistry::Run(Database::Mode mode, Body&& body) {
  try {
    return db_.Transaction(mode, std::forward<Body>(body));
  } catch (const SqliteError&) {
    return kErrorRegistryIoFailed;
  }
}

std::string SimRegistry::AsStored(std::string_view name) {
  const std::uint32_t codePage = codePage_();
  std::string ansi;
  EncodeCodePage(codePage, name, &ansi);
  std::string stored;
  DecodeCodePage(codePage, ansi, &stored);
  return stored;
}

Status SimRegistry::ResolveOrdinary(KeyHandle key, std::int64_t* id) {
  const Status status = Resolve(key, id);
  if (status == kErrorSuccess && IsPerformanceData(*id)) return kErrorInvalidHandle;
  return status;
}

Status SimRegistry::Resolve(KeyHandle key, std::int64_t* id) {
  if (IsPredefinedKey(key)) {
    *id = RootId(key);
    return kErrorSuccess;
  }
  const auto found = handles_.find(key);
  if (found == handles_.end()) return kErrorInvalidHandle;
  auto query = db_.Prepare("SELECT 1 FROM reg_keys WHERE id = ?");
  if (!query.Bind(1, found->second).Step()) return kErrorKeyDeleted;
  *id = found->second;
  return kErrorSuccess;
}

std::int64_t SimRegistry::FindChild(std::int64_t parent, std::string_view name) {
  auto query = db_.Prepare("SELECT id FROM reg_keys WHERE parent = ? AND name = ?");
  return query.Bind(1, parent).Bind(2, name).Step() ? query.Int(0) : 0;
}

Status SimRegistry::Walk(std::int64_t id, std::string_view path, std::int64_t* found) {
  std::vector<std::string_view> levels;
  if (const Status status = SplitKeyPath(path, &levels); status != kErrorSuccess) return status;
  for (const auto level : levels) {
    id = FindChild(id, level);
    if (id == 0) return kErrorFileNotFound;
  }
  *found = id;
  return kErrorSuccess;
}

KeyHandle SimRegistry::NewHandle(std::int64_t id) {
  // Skip numbers in use and the range of the predefined hives.
  while (nextHandle_ == kNoKey || handles_.count(nextHandle_) != 0 ||
         nextHandle_ >= kHKeyClassesRoot) {
    nextHandle_ = nextHandle_ >= kHKeyClassesRoot ? kFirstHandle : nextHandle_ + 4;
  }
  const KeyHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, id);
  return handle;
}

Status SimRegistry::OpenKey(KeyHandle parent, std::string_view subKey, KeyHandle* result) {
  if (result == nullptr) return kErrorInvalidParameter;
  const std::string path = AsStored(subKey);
  std::int64_t id = 0;
  const Status status = Run(Database::Mode::kRead, [&] {
    std::int64_t parentId = 0;
    // HKEY_PERFORMANCE_DATA opens as itself only; it has no subkeys to open.
    const Status resolved = path.find_first_not_of('\\') == std::string::npos
                                ? Resolve(parent, &parentId)
                                : ResolveOrdinary(parent, &parentId);
    return resolved != kErrorSuccess ? resolved : Walk(parentId, path, &id);
  });
  if (status == kErrorSuccess) *result = NewHandle(id);
  return status;
}

Status SimRegistry::CreateKey(KeyHandle parent, std::string_view subKey, KeyHandle* result,
                              bool* created) {
  if (result == nullptr) return kErrorInvalidParameter;
  const std::string path = AsStored(subKey);
  std::vector<std::string_view> levels;
  if (const Status status = SplitKeyPath(path, &levels); status != kErrorSuccess) return status;
  for (const auto level : levels) {
    if (Utf16Units(level) > kMaxKeyNameChars) return kErrorInvalidParameter;
  }
  std::int64_t id = 0;
  // Most calls open a key that exists: find it under a read snapshot first, and take the
  // write lock only when something has to be created.
  Status status = Run(Database::Mode::kRead, [&] {
    std::int64_t parentId = 0;
    const Status resolved = ResolveOrdinary(parent, &parentId);
    return resolved != kErrorSuccess ? resolved : Walk(parentId, path, &id);
  });
  if (status == kErrorSuccess) {
    *result = NewHandle(id);
    if (created != nullptr) *created = false;
    return kErrorSuccess;
  }
  if (status != kErrorFileNotFound) return status;

  bool madeNew = false;
  status = Run(Database::Mode::kWrite, [&] {
    if (const Status resolved = ResolveOrdinary(parent, &id); resolved != kErrorSuccess) {
      return resolved;
    }
    for (const auto level : levels) {
      const std::int64_t child = madeNew ? 0 : FindChild(id, level);
      if (child != 0) {
        id = child;
        continue;
      }
      db_.Prepare("INSERT INTO reg_keys (parent, name) VALUES (?, ?)")
          .Bind(1, id)
          .Bind(2, level)
          .Run();
      id = db_.LastInsertId();
      madeNew = true;
    }
    return kErrorSuccess;
  });
  if (status != kErrorSuccess) return status;
  *result = NewHandle(id);
  if (created != nullptr) *created = madeNew;
  return kErrorSuccess;
}

Status SimRegistry::CloseKey(KeyHandle key) {
  if (IsPredefinedKey(key)) return kErrorSuccess;
  return handles_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

Status SimRegistry::DeleteKey(KeyHandle parent, std::string_view subKey) {
  const std::string path = AsStored(subKey);
  return Run(Database::Mode::kWrite, [&] {
    std::int64_t id = 0;
    if (const Status resolved = ResolveOrdinary(parent, &id); resolved != kErrorSuccess) {
      return resolved;
    }
    if (const Status walked = Walk(id, path, &id); walked != kErrorSuccess) return walked;
    // A hive root cannot be deleted, nor a key that still has subkeys.
    if (id <= RootId(kHKeyPerformanceData)) return kErrorAccessDenied;
    auto children = db_.Prepare("SELECT 1 FROM reg_keys WHERE parent = ? LIMIT 1");
    if (children.Bind(1, id).Step()) return kErrorAccessDenied;
    db_.Prepare("DELETE FROM reg_values WHERE key = ?").Bind(1, id).Run();
    db_.Prepare("DELETE FROM reg_keys WHERE id = ?").Bind(1, id).Run();
    return kErrorSuccess;
  });
}

Status SimRegistry::SetValue(KeyHandle key, std::string_view name, ValueType type,
                             std::string_view data) {
  const std::string storedName = AsStored(name);
  std::string stored(data);
  if (IsStringType(type) && !stored.empty() && stored.back() != '\0') stored.push_back('\0');
  return Run(Database::Mode::kWrite, [&] {
    std::int64_t id = 0;
    if (const Status resolved = ResolveOrdinary(key, &id); resolved != kErrorSuccess) {
      return resolved;
    }
    // A value set again keeps its name as first written and its place in the order.
    db_.Prepare(
           "INSERT INTO reg_values (key, name, position, type, data) VALUES (?1, ?2, "
           "(SELECT coalesce(max(position), 0) + 1 FROM reg_values WHERE key = ?1), ?3, ?4) "
           "ON CONFLICT (key, name) DO UPDATE SET type = excluded.type, data = excluded.data")
        .Bind(1, id)
        .Bind(2, storedName)
        .Bind(3, static_cast<std::int64_t>(type))
        .BindBlob(4, stored)
        .Run();
    return kErrorSuccess;
  });
}

Status SimRegistry::QueryValue(KeyHandle key, std::string_view name, ValueType* type,
                               std::uint8_t* data, std::uint32_t* size) {
  if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
  const std::string storedName = AsStored(name);
  return Run(Database::Mode::kRead, [&] {
    std::int64_t id = 0;
    if (const Status resolved = Resolve(key, &id); resolved != kErrorSuccess) return resolved;
    auto query = db_.Prepare("SELECT type, data FROM reg_values WHERE key = ? AND name = ?");
    if (!query.Bind(1, id).Bind(2, storedName).Step()) return kErrorFileNotFound;
    if (type != nullptr) *type = static_cast<ValueType>(query.Int(0));
    const std::string bytes = query.Blob(1);
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data != nullptr) {
      if (*size < needed) {
        *size = needed;
        return kErrorMoreData;
      }
      std::memcpy(data, bytes.data(), bytes.size());
    }
    if (size != nullptr) *size = needed;
    return kErrorSuccess;
  });
}

Status SimRegistry::DeleteValue(KeyHandle key, std::string_view name) {
  const std::string storedName = AsStored(name);
  return Run(Database::Mode::kWrite, [&] {
    std::int64_t id = 0;
    if (const Status resolved = ResolveOrdinary(key, &id); resolved != kErrorSuccess) {
      return resolved;
    }
    auto found = db_.Prepare("SELECT position FROM reg_values WHERE key = ? AND name = ?");
    if (!found.Bind(1, id).Bind(2, storedName).Step()) return kErrorFileNotFound;
    const std::int64_t position = found.Int(0);
    db_.Prepare("DELETE FROM reg_values WHERE key = ? AND name = ?")
        .Bind(1, id)
        .Bind(2, storedName)
        .Run();
    // Close the gap, so that the positions stay 1..n.
    db_.Prepare("UPDATE reg_values SET position = position - 1 WHERE key = ? AND position > ?")
        .Bind(1, id)
        .Bind(2, position)
        .Run();
    return kErrorSuccess;
  });
}

Status SimRegistry::EnumKey(KeyHandle key, std::uint32_t index, std::string* name) {
  if (name == nullptr) return kErrorInvalidParameter;
  return Run(Database::Mode::kRead, [&] {
    std::int64_t id = 0;
    if (const Status resolved = ResolveOrdinary(key, &id); resolved != kErrorSuccess) {
      return resolved;
    }
    auto query = db_.Prepare(
        "SELECT name FROM reg_keys WHERE parent = ? ORDER BY name COLLATE WINUPPER "
        "LIMIT 1 OFFSET ?");
    if (!query.Bind(1, id).Bind(2, static_cast<std::int64_t>(index)).Step()) {
      return kErrorNoMoreItems;
    }
    *name = query.Text(0);
    return kErrorSuccess;
  });
}

Status SimRegistry::EnumValue(KeyHandle key, std::uint32_t index, std::string* name,
                              ValueType* type, std::string* data) {
  return Run(Database::Mode::kRead, [&] {
    std::int64_t id = 0;
    if (const Status resolved = ResolveOrdinary(key, &id); resolved != kErrorSuccess) {
      return resolved;
    }
    auto query =
        db_.Prepare("SELECT name, type, data FROM reg_values WHERE key = ? AND position = ?");
    if (!query.Bind(1, id).Bind(2, static_cast<std::int64_t>(index) + 1).Step()) {
      return kErrorNoMoreItems;
    }
    if (name != nullptr) *name = query.Text(0);
    if (type != nullptr) *type = static_cast<ValueType>(query.Int(1));
    if (data != nullptr) *data = query.Blob(2);
    return kErrorSuccess;
  });
}

Status SimRegistry::QueryInfoKey(KeyHandle key, KeyInfo* info) {
  if (info == nullptr) return kErrorInvalidParameter;
  const std::uint32_t codePage = codePage_();
  return Run(Database::Mode::kRead, [&] {
    std::int64_t id = 0;
    if (const Status resolved = ResolveOrdinary(key, &id); resolved != kErrorSuccess) {
      return resolved;
    }
    // Windows measures what it stores: names in UTF-16 units, string data in UTF-16 bytes
    // (so "%PATH%" with its NUL counts 14, though a query hands back 7 ANSI bytes).
    KeyInfo result;
    auto keys = db_.Prepare("SELECT name FROM reg_keys WHERE parent = ?");
    keys.Bind(1, id);
    while (keys.Step()) {
      ++result.subKeys;
      result.maxSubKeyLen = std::max(result.maxSubKeyLen, Utf16Units(keys.Text(0)));
    }
    auto values = db_.Prepare("SELECT name, type, data FROM reg_values WHERE key = ?");
    values.Bind(1, id);
    while (values.Step()) {
      ++result.values;
      result.maxValueNameLen = std::max(result.maxValueNameLen, Utf16Units(values.Text(0)));
      const std::string data = values.Blob(2);
      std::uint32_t stored = static_cast<std::uint32_t>(data.size());
      if (IsStringType(static_cast<ValueType>(values.Int(1)))) {
        std::string text;
        DecodeCodePage(codePage, data, &text);
        stored = 2 * Utf16Units(text);
      }
      result.maxValueLen = std::max(result.maxValueLen, stored);
    }
    *info = result;
    return kErrorSuccess;
  });
}

}  // namespace dav::platform::sim
