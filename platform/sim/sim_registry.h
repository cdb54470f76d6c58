// The registry of the simulated PC, kept in the machine database (tables reg_keys and
// reg_values, see machine_schema.cpp).
//
// Handles belong to this object (one per process, as handles belong to a process on
// Windows): a handle is a number that maps to a key id. A key deleted through any handle,
// in this process or another, makes the other handles to it answer kErrorKeyDeleted.
//
// Where the simulation is simpler than Windows:
// - names compare by folding ASCII letters only ("é" and "É" are different names);
// - the hives are five separate trees (HKEY_CURRENT_USER is not an alias below
//   HKEY_USERS, HKEY_CLASSES_ROOT does not merge keys of HKEY_LOCAL_MACHINE), and
//   HKEY_PERFORMANCE_DATA is an ordinary empty tree;
// - there are no access rights, volatile keys or symbolic links;
// - string data are stored as the ANSI bytes given, so a byte sequence that is not valid
//   in the code page reads back unchanged instead of being replaced.
//
// What the object remembers between calls, so that a call does only the work it needs:
// - which key a name below a parent is (ids are never reused while a transaction commits, and a
//   key never changes its parent or name); an answer taken from this memory is checked against
//   the database before it is used, so a key deleted or created again elsewhere is found anew;
// - which key a whole path below a parent led to when it was last opened, so that a path
//   opened again is looked up once instead of level by level; checked the same way;
// - the entries of a key that an enumeration read ahead: a call for index i reads the entries
//   from i on in one statement, up to a batch, and the calls for the next indexes are answered
//   from them. A batch is used only while nothing that could change it has happened: no change
//   by this object to that key's subkeys or values, and no commit by another connection. Each
//   call first compares the commit stamp of the database with the one the batch was last
//   confirmed at (a read of shared memory); only when it differs does it ask the data version,
//   which takes a read transaction, and a batch still current takes the new stamp. Past the batch,
//   the next one continues after its last entry; an index elsewhere is counted out.
// A rolled-back transaction may have taken back keys this memory knows, so it forgets all then.
//
// Not thread-safe: one thread per object, as the component has.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sqlite_db.h"

namespace dav::platform::sim {

class SimRegistry : public Registry {
 public:
  // codePage gives the machine's ANSI code page. Names pass through it as through the ANSI
  // calls (a character it cannot hold is stored as "?"), and QueryInfoKey decodes string
  // data with it to measure them as Windows stores them.
  SimRegistry(Database& db, std::function<std::uint32_t()> codePage);

  Status OpenKey(KeyHandle parent, std::string_view subKey, KeyHandle* result) override;
  Status CreateKey(KeyHandle parent, std::string_view subKey, KeyHandle* result,
                   bool* created = nullptr) override;
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

  // For a caller that takes a copy of the database now and later puts it back (Machine's
  // KeepState and RestoreState): KeepMemory notes the last key the copy holds, and
  // RestoreMemory, called right after the copy was put back, forgets only the keys made since
  // (their ids are given out again), where a rollback would forget everything. A key of the
  // copy is there again with its parent and name, so what is remembered of it holds.
  void KeepMemory();
  void RestoreMemory();

 private:
  // Entries of one key read ahead by an enumeration: entries[k] is the one at index first + k,
  // as the data version was when they were read. atEnd: nothing follows the last one.
  struct ReadAhead {
    struct Entry {
      std::string name;
      std::int64_t position = 0;  // values only
      ValueType type = 0;         // values only
      std::string data;           // values only
    };
    std::uint32_t first = 0;
    std::vector<Entry> entries;
    bool atEnd = false;
    std::int64_t dataVersion = 0;
    // The database's commit stamp taken before dataVersion was (last) confirmed, if stamped.
    Database::CommitStamp stamp{};
    bool stamped = false;
  };

  // The entry at index of a key's subkeys (keys) or values from its read-ahead, read anew when
  // the read-ahead does not hold it or is no longer current. kErrorNoMoreItems past the last.
  Status EnumEntry(KeyHandle key, std::uint32_t index, bool keys, const ReadAhead::Entry** entry);
  // Reads the entries from index on into readAhead (continuing after its last one when index
  // follows it), under the current read transaction.
  void ReadEntries(std::int64_t id, std::uint32_t index, bool keys, std::int64_t version,
                   const Database::CommitStamp& stamp, bool stamped, ReadAhead* readAhead);

  // The key id a handle stands for, without asking the database: kErrorInvalidHandle for 0
  // or an unknown handle.
  Status HandleId(KeyHandle key, std::int64_t* id) const;
  // As HandleId, and kErrorKeyDeleted when the key is gone.
  Status Resolve(KeyHandle key, std::int64_t* id);
  // As Resolve, for a call that needs a key able to hold subkeys and values: every key but
  // the root of HKEY_PERFORMANCE_DATA, which gives kErrorInvalidHandle as on Windows.
  Status ResolveOrdinary(KeyHandle key, std::int64_t* id);
  bool KeyExists(std::int64_t id);
  // A key or value name as the registry stores it when it comes through the ANSI calls:
  // encoded into the machine's code page and decoded again.
  // The text lives in this object until the next call.
  std::string_view AsStored(std::string_view name);
  // Follows the path's levels down from id; kErrorFileNotFound when a level is missing.
  // Levels found before are taken from memory when fromMemory is set, and checked.
  Status Walk(std::int64_t id, std::string_view path, bool fromMemory, std::int64_t* found);
  // The key that path below parent leads to, when every level is remembered and the key is
  // still there: one statement. False sends the caller the long way.
  bool FindRemembered(KeyHandle parent, std::string_view path, std::int64_t* found);
  std::int64_t FindChild(std::int64_t parent, std::string_view name);
  // The key a child is remembered by (see children_), in tag_.
  const std::string& Tag(std::int64_t parent, std::string_view name);
  void RememberChild(std::int64_t parent, std::string_view name, std::int64_t child);
  void ForgetChild(std::int64_t parent, std::string_view name);
  // Remembers the key that path below parent leads to (see paths_).
  void RememberPath(std::int64_t parent, std::string_view path, std::int64_t key);
  // Forgets everything remembered when a transaction was rolled back since the last call.
  void ForgetAfterRollback();
  KeyHandle NewHandle(std::int64_t id);

  // Runs body (returning a Status) in a transaction; a database failure becomes
  // kErrorRegistryIoFailed. Bodies make no change before they know they will succeed.
  template <typename Body>
  Status Run(Database::Mode mode, Body&& body);
  // Runs body (one statement, atomic by itself) outside a transaction of its own.
  template <typename Body>
  Status Guard(Body&& body);

  Database& db_;
  std::function<std::uint32_t()> codePage_;
  std::unordered_map<KeyHandle, std::int64_t> handles_;
  KeyHandle nextHandle_;
  // Parent id (8 bytes) and upper-cased name -> child id.
  std::unordered_map<std::string, std::int64_t> children_;
  // Parent id (8 bytes) and upper-cased path as opened -> the key it led to.
  std::unordered_map<std::string, std::int64_t> paths_;
  std::int64_t keptLastKey_ = 0;  // see KeepMemory
  std::string tag_;
  // AsStored's room for the ANSI form and the stored form, used again from call to call.
  std::string ansi_;
  std::string stored_;
  std::unordered_map<std::int64_t, ReadAhead> keyReadAhead_;
  std::unordered_map<std::int64_t, ReadAhead> valueReadAhead_;
  std::uint64_t rollbacks_ = 0;
};

}  // namespace dav::platform::sim
