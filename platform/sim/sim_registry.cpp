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

// A key path may not start with "\"; runs of "\" between levels count as one and a trailing
// "\" is ignored, as the registry parses paths.
bool IsBadKeyPath(std::string_view path) {
  return !path.empty() && path.front() == '\\';
}

bool HasLevels(std::string_view path) {
  return path.find_first_not_of('\\') != std::string_view::npos;
}

// Calls visit(level) for each level of a key path in turn, while it returns true; false when
// visit stopped early. The levels are views into path, so no list of them is made.
template <typename Visit>
bool ForEachLevel(std::string_view path, Visit&& visit) {
  std::size_t pos = 0;
  while (pos < path.size()) {
    const std::size_t end = std::min(path.find('\\', pos), path.size());
    if (end > pos && !visit(path.substr(pos, end - pos))) return false;
    pos = end + 1;
  }
  return true;
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

// What a child key is remembered by: the parent id's bytes and the name with ASCII letters
// upper-cased, the equality the names compare with.
// Written into *tag, whose room is used again from one look-up to the next.
void ChildTag(std::int64_t parent, std::string_view name, std::string* tag) {
  tag->resize(sizeof parent + name.size());
  std::memcpy(tag->data(), &parent, sizeof parent);
  std::transform(name.begin(), name.end(), tag->begin() + sizeof parent, [](char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  });
}

// Beyond this many remembered children the memory starts again, so that it stays small.
constexpr std::size_t kMaxRememberedChildren = 100000;
// Enumerations remembered at once; more are rare (a caller walks one or two keys at a time).
constexpr std::size_t kMaxReadAheads = 64;
// Entries an enumeration reads ahead in one statement, and the data bytes after which a batch
// of values stops early, so that a key of large values is not held whole.
constexpr std::int64_t kReadAheadEntries = 256;
constexpr std::size_t kReadAheadBytes = 1 << 20;

}  // namespace

SimRegistry::SimRegistry(Database& db, std::function<std::uint32_t()> codePage)
    : db_(db),
      codePage_(std::move(codePage)),
      nextHandle_(kFirstHandle),
      rollbacks_(db.Rollbacks()) {}

template <typename Body>
Status SimRegistry::Run(Database::Mode mode, Body&& body) {
  ForgetAfterRollback();
  try {
    return db_.Transaction(mode, std::forward<Body>(body));
  } catch (const SqliteError&) {
    ForgetAfterRollback();
    return kErrorRegistryIoFailed;
  }
}

template <typename Body>
Status SimRegistry::Guard(Body&& body) {
  ForgetAfterRollback();
  try {
    return body();
  } catch (const SqliteError&) {
    return kErrorRegistryIoFailed;
  }
}

void SimRegistry::ForgetAfterRollback() {
  if (db_.Rollbacks() == rollbacks_) return;
  rollbacks_ = db_.Rollbacks();
  children_.clear();
  paths_.clear();
  keyReadAhead_.clear();
  valueReadAhead_.clear();
}

void SimRegistry::KeepMemory() {
  ForgetAfterRollback();
  auto query = db_.Prepare("SELECT coalesce(max(id), 0) FROM reg_keys");
  keptLastKey_ = query.Step() ? query.Int(0) : 0;
}

void SimRegistry::RestoreMemory() {
  rollbacks_ = db_.Rollbacks();
  // Ids are never given out twice while the database goes on, so a key made since the copy
  // has a higher id than any key of it; after the copy is back, new keys take those ids again.
  const auto madeSince = [&](const auto& entry) { return entry.second > keptLastKey_; };
  std::erase_if(children_, madeSince);
  std::erase_if(paths_, madeSince);
  keyReadAhead_.clear();
  valueReadAhead_.clear();
}

std::string_view SimRegistry::AsStored(std::string_view name) {
  const std::uint32_t codePage = codePage_();
  EncodeCodePage(codePage, name, &ansi_);
  DecodeCodePage(codePage, ansi_, &stored_);
  return stored_;
}

Status SimRegistry::HandleId(KeyHandle key, std::int64_t* id) const {
  if (IsPredefinedKey(key)) {
    *id = RootId(key);
    return kErrorSuccess;
  }
  const auto found = handles_.find(key);
  if (found == handles_.end()) return kErrorInvalidHandle;
  *id = found->second;
  return kErrorSuccess;
}

bool SimRegistry::KeyExists(std::int64_t id) {
  auto query = db_.Prepare("SELECT 1 FROM reg_keys WHERE id = ?");
  return query.Bind(1, id).Step();
}

Status SimRegistry::ResolveOrdinary(KeyHandle key, std::int64_t* id) {
  const Status status = Resolve(key, id);
  if (status == kErrorSuccess && IsPerformanceData(*id)) return kErrorInvalidHandle;
  return status;
}

Status SimRegistry::Resolve(KeyHandle key, std::int64_t* id) {
  if (const Status status = HandleId(key, id); status != kErrorSuccess) return status;
  // The hive roots are never deleted.
  if (IsPredefinedKey(key) || KeyExists(*id)) return kErrorSuccess;
  return kErrorKeyDeleted;
}

std::int64_t SimRegistry::FindChild(std::int64_t parent, std::string_view name) {
  auto query = db_.Prepare("SELECT id FROM reg_keys WHERE parent = ? AND name = ?");
  return query.Bind(1, parent).Bind(2, name).Step() ? query.Int(0) : 0;
}

const std::string& SimRegistry::Tag(std::int64_t parent, std::string_view name) {
  ChildTag(parent, name, &tag_);
  return tag_;
}

void SimRegistry::RememberChild(std::int64_t parent, std::string_view name, std::int64_t child) {
  if (children_.size() >= kMaxRememberedChildren) children_.clear();
  children_[Tag(parent, name)] = child;
}

void SimRegistry::ForgetChild(std::int64_t parent, std::string_view name) {
  children_.erase(Tag(parent, name));
}

void SimRegistry::RememberPath(std::int64_t parent, std::string_view path, std::int64_t key) {
  if (paths_.size() >= kMaxRememberedChildren) paths_.clear();
  paths_[Tag(parent, path)] = key;
}

Status SimRegistry::Walk(std::int64_t id, std::string_view path, bool fromMemory,
                         std::int64_t* found) {
  if (IsBadKeyPath(path)) return kErrorBadPathname;
  const std::int64_t start = id;
  bool usedMemory = false;
  bool lastFromMemory = false;
  bool stale = false;
  const bool walked = ForEachLevel(path, [&](std::string_view level) {
    if (fromMemory) {
      if (const auto known = children_.find(Tag(id, level)); known != children_.end()) {
        id = known->second;
        usedMemory = lastFromMemory = true;
        return true;
      }
    }
    const std::int64_t child = FindChild(id, level);
    if (child == 0) {
      // A remembered level may be a key deleted (and made again) elsewhere: look again,
      // unless the key the miss is below is still there, which proves the path to it (see
      // below) and so the miss.
      stale = usedMemory && !KeyExists(id);
      return false;
    }
    RememberChild(id, level, child);
    id = child;
    lastFromMemory = false;
    return true;
  });
  if (stale) {
    children_.clear();
    return Walk(start, path, false, found);
  }
  if (!walked) return kErrorFileNotFound;
  // A key found in the database proves every level above it; a remembered last level is
  // proved by the key still being there, since a key keeps its parent and name for life.
  if (lastFromMemory && !KeyExists(id)) {
    children_.clear();
    return Walk(start, path, false, found);
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

bool SimRegistry::FindRemembered(KeyHandle parent, std::string_view path, std::int64_t* found) {
  ForgetAfterRollback();
  std::int64_t id = 0;
  if (HandleId(parent, &id) != kErrorSuccess || IsPerformanceData(id)) return false;
  if (IsBadKeyPath(path) || !HasLevels(path)) return false;
  const std::int64_t parentId = id;
  const auto knownPath = paths_.find(Tag(parentId, path));
  const bool wholePath = knownPath != paths_.end();
  if (wholePath) {
    id = knownPath->second;
  } else if (!ForEachLevel(path, [&](std::string_view level) {
               const auto known = children_.find(Tag(id, level));
               if (known == children_.end()) return false;
               id = known->second;
               return true;
             })) {
    return false;
  }
  // One statement, a transaction by itself: the key is still there, so the path still leads
  // to it (see Walk).
  if (Guard([&] { return KeyExists(id) ? kErrorSuccess : kErrorFileNotFound; }) != kErrorSuccess) {
    if (wholePath) paths_.erase(Tag(parentId, path));
    return false;
  }
  if (!wholePath) RememberPath(parentId, path, id);
  *found = id;
  return true;
}

Status SimRegistry::OpenKey(KeyHandle parent, std::string_view subKey, KeyHandle* result) {
  if (result == nullptr) return kErrorInvalidParameter;
  const std::string_view path = AsStored(subKey);
  std::int64_t id = 0;
  if (FindRemembered(parent, path, &id)) {
    *result = NewHandle(id);
    return kErrorSuccess;
  }
  const Status status = Run(Database::Mode::kRead, [&] {
    std::int64_t parentId = 0;
    if (const Status known = HandleId(parent, &parentId); known != kErrorSuccess) return known;
    // HKEY_PERFORMANCE_DATA opens as itself only; it has no subkeys to open.
    const bool self = path.find_first_not_of('\\') == std::string::npos;
    if (self) {
      const Status resolved = Resolve(parent, &id);
      return resolved != kErrorSuccess ? resolved : Walk(id, path, false, &id);
    }
    if (IsPerformanceData(parentId)) return kErrorInvalidHandle;
    // A key found below the parent proves the parent; only a miss asks after it.
    const Status walked = Walk(parentId, path, true, &id);
    if (walked == kErrorFileNotFound)
      return ResolveOrdinary(parent, &parentId) == kErrorSuccess ? walked : kErrorKeyDeleted;
    if (walked == kErrorSuccess) RememberPath(parentId, path, id);
    return walked;
  });
  if (status == kErrorSuccess) *result = NewHandle(id);
  return status;
}

Status SimRegistry::CreateKey(KeyHandle parent, std::string_view subKey, KeyHandle* result,
                              bool* created) {
  if (result == nullptr) return kErrorInvalidParameter;
  const std::string_view path = AsStored(subKey);
  if (IsBadKeyPath(path)) return kErrorBadPathname;
  if (!ForEachLevel(path,
                    [](std::string_view level) { return Utf16Units(level) <= kMaxKeyNameChars; })) {
    return kErrorInvalidParameter;
  }
  std::int64_t id = 0;
  if (FindRemembered(parent, path, &id)) {
    *result = NewHandle(id);
    if (created != nullptr) *created = false;
    return kErrorSuccess;
  }
  // Most calls open a key that exists: find it under a read snapshot first, and take the
  // write lock only when something has to be created.
  Status status = Run(Database::Mode::kRead, [&] {
    std::int64_t parentId = 0;
    if (const Status known = HandleId(parent, &parentId); known != kErrorSuccess) return known;
    if (IsPerformanceData(parentId)) return kErrorInvalidHandle;
    if (!HasLevels(path)) return ResolveOrdinary(parent, &id);
    const Status walked = Walk(parentId, path, true, &id);
    if (walked == kErrorSuccess) RememberPath(parentId, path, id);
    return walked;
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
    ForEachLevel(path, [&](std::string_view level) {
      const std::int64_t child = madeNew ? 0 : FindChild(id, level);
      if (child != 0) {
        id = child;
        return true;
      }
      db_.Prepare("INSERT INTO reg_keys (parent, name) VALUES (?, ?)")
          .Bind(1, id)
          .Bind(2, level)
          .Run();
      // A new subkey moves the indexes of the parent's subkeys after it.
      keyReadAhead_.erase(id);
      const std::int64_t newId = db_.LastInsertId();
      RememberChild(id, level, newId);
      id = newId;
      madeNew = true;
      return true;
    });
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
  const std::string_view path = AsStored(subKey);
  return Run(Database::Mode::kWrite, [&] {
    std::int64_t id = 0;
    if (const Status resolved = ResolveOrdinary(parent, &id); resolved != kErrorSuccess) {
      return resolved;
    }
    if (const Status walked = Walk(id, path, false, &id); walked != kErrorSuccess) return walked;
    // A hive root cannot be deleted, nor a key that still has subkeys.
    if (id <= RootId(kHKeyPerformanceData)) return kErrorAccessDenied;
    auto children = db_.Prepare("SELECT 1 FROM reg_keys WHERE parent = ? LIMIT 1");
    if (children.Bind(1, id).Step()) return kErrorAccessDenied;
    std::int64_t parentId = 0;
    {
      auto row = db_.Prepare("SELECT parent, name FROM reg_keys WHERE id = ?");
      row.Bind(1, id).Step();
      parentId = row.Int(0);
      ForgetChild(parentId, row.TextView(1));
    }
    db_.Prepare("DELETE FROM reg_values WHERE key = ?").Bind(1, id).Run();
    db_.Prepare("DELETE FROM reg_keys WHERE id = ?").Bind(1, id).Run();
    keyReadAhead_.erase(parentId);
    keyReadAhead_.erase(id);
    valueReadAhead_.erase(id);
    return kErrorSuccess;
  });
}

Status SimRegistry::SetValue(KeyHandle key, std::string_view name, ValueType type,
                             std::string_view data) {
  const std::string_view storedName = AsStored(name);
  std::string stored(data);
  if (IsStringType(type) && !stored.empty() && stored.back() != '\0') stored.push_back('\0');
  std::int64_t id = 0;
  if (const Status known = HandleId(key, &id); known != kErrorSuccess) return known;
  if (IsPerformanceData(id)) return kErrorInvalidHandle;
  // The component sets most values to what they already hold (each start sets the desktop's
  // icons again): such a call is answered under the read snapshot, and the write lock is
  // taken only for a change.
  bool unchanged = false;
  if (const Status read = Run(Database::Mode::kRead,
                              [&] {
                                if (!KeyExists(id)) return kErrorKeyDeleted;
                                auto query = db_.Prepare(
                                    "SELECT type, data FROM reg_values WHERE key = ? AND name = ?");
                                unchanged = query.Bind(1, id).Bind(2, storedName).Step() &&
                                            query.Int(0) == static_cast<std::int64_t>(type) &&
                                            query.BlobView(1) == stored;
                                return kErrorSuccess;
                              });
      read != kErrorSuccess || unchanged) {
    return read;
  }
  return Run(Database::Mode::kWrite, [&] {
    if (!KeyExists(id)) return kErrorKeyDeleted;
    // A value set again keeps its name as first written and its place in the order; a new
    // one goes after the last.
    db_.Prepare(
           "INSERT INTO reg_values (key, name, position, type, data) VALUES (?1, ?2, "
           "(SELECT coalesce(max(position), 0) + 1 FROM reg_values WHERE key = ?1), ?3, ?4) "
           "ON CONFLICT (key, name) DO UPDATE SET type = excluded.type, data = excluded.data")
        .Bind(1, id)
        .Bind(2, storedName)
        .Bind(3, static_cast<std::int64_t>(type))
        .BindBlob(4, stored)
        .Run();
    // The read-ahead holds the old data, and a new value may follow its last entry.
    valueReadAhead_.erase(id);
    return kErrorSuccess;
  });
}

Status SimRegistry::QueryValue(KeyHandle key, std::string_view name, ValueType* type,
                               std::uint8_t* data, std::uint32_t* size) {
  if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
  const std::string_view storedName = AsStored(name);
  std::int64_t id = 0;
  if (const Status known = HandleId(key, &id); known != kErrorSuccess) return known;
  // One statement, so one consistent read without a transaction of its own: no row when the
  // key is gone, a row without a type when the value is missing.
  return Guard([&] {
    auto query = db_.Prepare(
        "SELECT v.type, v.data FROM reg_keys AS k LEFT JOIN reg_values AS v "
        "ON v.key = k.id AND v.name = ?2 WHERE k.id = ?1");
    if (!query.Bind(1, id).Bind(2, storedName).Step()) return kErrorKeyDeleted;
    if (query.IsNull(0)) return kErrorFileNotFound;
    if (type != nullptr) *type = static_cast<ValueType>(query.Int(0));
    const std::string_view bytes = query.BlobView(1);
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data != nullptr) {
      if (*size < needed) {
        *size = needed;
        return kErrorMoreData;
      }
      if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    }
    if (size != nullptr) *size = needed;
    return kErrorSuccess;
  });
}

Status SimRegistry::DeleteValue(KeyHandle key, std::string_view name) {
  const std::string_view storedName = AsStored(name);
  std::int64_t id = 0;
  if (const Status known = HandleId(key, &id); known != kErrorSuccess) return known;
  if (IsPerformanceData(id)) return kErrorInvalidHandle;
  // Deleting a value that is not there changes nothing: that answer needs no write lock.
  if (const Status read =
          Run(Database::Mode::kRead,
              [&] {
                if (!KeyExists(id)) return kErrorKeyDeleted;
                auto query = db_.Prepare("SELECT 1 FROM reg_values WHERE key = ? AND name = ?");
                return query.Bind(1, id).Bind(2, storedName).Step() ? kErrorSuccess
                                                                    : kErrorFileNotFound;
              });
      read != kErrorSuccess) {
    return read;
  }
  return Run(Database::Mode::kWrite, [&] {
    db_.Prepare("DELETE FROM reg_values WHERE key = ? AND name = ?")
        .Bind(1, id)
        .Bind(2, storedName)
        .Run();
    if (db_.Changes() == 0) return KeyExists(id) ? kErrorFileNotFound : kErrorKeyDeleted;
    // The values after it move one index up. The positions keep their gaps: the order is
    // all they stand for.
    valueReadAhead_.erase(id);
    return kErrorSuccess;
  });
}

void SimRegistry::ReadEntries(std::int64_t id, std::uint32_t index, bool keys, std::int64_t version,
                              const Database::CommitStamp& stamp, bool stamped,
                              ReadAhead* readAhead) {
  // The index right after a current batch is the entry after its last one in the listing
  // order; any other is counted out.
  const bool next = readAhead->dataVersion == version && !readAhead->entries.empty() &&
                    readAhead->first + readAhead->entries.size() == index;
  const std::string_view sql =
      keys ? (next ? "SELECT name FROM reg_keys WHERE parent = ?1 AND name > ?2 COLLATE WINUPPER "
                     "ORDER BY name COLLATE WINUPPER LIMIT ?3"
                   : "SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY name COLLATE WINUPPER "
                     "LIMIT ?3 OFFSET ?2")
           : (next ? "SELECT name, position, type, data FROM reg_values WHERE key = ?1 AND "
                     "position > ?2 ORDER BY position LIMIT ?3"
                   : "SELECT name, position, type, data FROM reg_values WHERE key = ?1 "
                     "ORDER BY position LIMIT ?3 OFFSET ?2");
  auto query = db_.Prepare(sql);
  query.Bind(1, id).Bind(3, kReadAheadEntries);
  if (!next) {
    query.Bind(2, static_cast<std::int64_t>(index));
  } else if (keys) {
    query.Bind(2, readAhead->entries.back().name);
  } else {
    query.Bind(2, readAhead->entries.back().position);
  }
  std::vector<ReadAhead::Entry> entries;
  std::size_t bytes = 0;
  bool atEnd = true;
  while (query.Step()) {
    if (bytes >= kReadAheadBytes) {
      atEnd = false;
      break;
    }
    ReadAhead::Entry& entry = entries.emplace_back();
    entry.name = query.Text(0);
    if (!keys) {
      entry.position = query.Int(1);
      entry.type = static_cast<ValueType>(query.Int(2));
      entry.data = query.Blob(3);
    }
    bytes += entry.name.size() + entry.data.size();
  }
  if (entries.size() == static_cast<std::size_t>(kReadAheadEntries)) atEnd = false;
  *readAhead = ReadAhead{index, std::move(entries), atEnd, version, stamp, stamped};
}

Status SimRegistry::EnumEntry(KeyHandle key, std::uint32_t index, bool keys,
                              const ReadAhead::Entry** entry) {
  std::int64_t id = 0;
  if (const Status known = HandleId(key, &id); known != kErrorSuccess) return known;
  if (IsPerformanceData(id)) return kErrorInvalidHandle;
  ForgetAfterRollback();
  auto& readAheads = keys ? keyReadAhead_ : valueReadAhead_;
  const auto answer = [&](const ReadAhead& readAhead) {
    if (index - readAhead.first < readAhead.entries.size()) {
      *entry = &readAhead.entries[index - readAhead.first];
      return kErrorSuccess;
    }
    return kErrorNoMoreItems;
  };
  // A current batch answers alone, without a transaction. It is current while this object
  // changed nothing of the key (the change drops it) and no other connection committed: no
  // commit at all since its stamp, or else an unchanged data version.
  Database::CommitStamp stamp{};
  const auto known = readAheads.find(id);
  if (known != readAheads.end() && index >= known->second.first) {
    ReadAhead& readAhead = known->second;
    const bool inside = index - readAhead.first < readAhead.entries.size();
    if (inside || (readAhead.atEnd && index >= readAhead.first)) {
      // The stamp is read before the data version, so that it never stands for a later state.
      const bool stamped = db_.ReadCommitStamp(&stamp);
      if (stamped && readAhead.stamped && stamp == readAhead.stamp) return answer(readAhead);
      std::int64_t version = 0;
      const Status status = Guard([&] {
        version = db_.DataVersion();
        return kErrorSuccess;
      });
      if (status != kErrorSuccess) return status;
      if (version == readAhead.dataVersion) {
        readAhead.stamp = stamp;
        readAhead.stamped = stamped;
        return answer(readAhead);
      }
    }
  }
  return Run(Database::Mode::kRead, [&] {
    // Taken before the snapshot that the data version and the entries come from.
    const bool stamped = db_.ReadCommitStamp(&stamp);
    const std::int64_t version = db_.DataVersion();
    if (readAheads.size() >= kMaxReadAheads && readAheads.count(id) == 0) readAheads.clear();
    ReadAhead& readAhead = readAheads[id];
    ReadEntries(id, index, keys, version, stamp, stamped, &readAhead);
    // A key with an entry exists; without one it may be gone.
    if (readAhead.entries.empty() && !KeyExists(id)) {
      readAheads.erase(id);
      return kErrorKeyDeleted;
    }
    return answer(readAhead);
  });
}

Status SimRegistry::EnumKey(KeyHandle key, std::uint32_t index, std::string* name) {
  if (name == nullptr) return kErrorInvalidParameter;
  const ReadAhead::Entry* entry = nullptr;
  const Status status = EnumEntry(key, index, true, &entry);
  if (status == kErrorSuccess) *name = entry->name;
  return status;
}

Status SimRegistry::EnumValue(KeyHandle key, std::uint32_t index, std::string* name,
                              ValueType* type, std::string* data) {
  const ReadAhead::Entry* entry = nullptr;
  const Status status = EnumEntry(key, index, false, &entry);
  if (status != kErrorSuccess) return status;
  if (name != nullptr) *name = entry->name;
  if (type != nullptr) *type = entry->type;
  if (data != nullptr) *data = entry->data;
  return kErrorSuccess;
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
      result.maxSubKeyLen = std::max(result.maxSubKeyLen, Utf16Units(keys.TextView(0)));
    }
    auto values = db_.Prepare("SELECT name, type, data FROM reg_values WHERE key = ?");
    values.Bind(1, id);
    std::string text;
    while (values.Step()) {
      ++result.values;
      result.maxValueNameLen = std::max(result.maxValueNameLen, Utf16Units(values.TextView(0)));
      const std::string_view data = values.BlobView(2);
      std::uint32_t stored = static_cast<std::uint32_t>(data.size());
      if (IsStringType(static_cast<ValueType>(values.Int(1)))) {
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
