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
// Not thread-safe: one thread per object, as the component has.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>

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

 private:
  // The key id a handle stands for: kErrorInvalidHandle for 0 or an unknown handle,
  // kErrorKeyDeleted when the key is gone. Runs inside the caller's transaction.
  Status Resolve(KeyHandle key, std::int64_t* id);
  // As Resolve, for a call that needs a key able to hold subkeys and values: every key but
  // the root of HKEY_PERFORMANCE_DATA, which gives kErrorInvalidHandle as on Windows.
  Status ResolveOrdinary(KeyHandle key, std::int64_t* id);
  // A key or value name as the registry stores it when it comes through the ANSI calls:
  // encoded into the machine's code page and decoded again.
  std::string AsStored(std::string_view name);
  // Follows the path's levels down from id; kErrorFileNotFound when a level is missing.
  Status Walk(std::int64_t id, std::string_view path, std::int64_t* found);
  std::int64_t FindChild(std::int64_t parent, std::string_view name);
  KeyHandle NewHandle(std::int64_t id);

  // Runs body (returning a Status) in a transaction; a database failure becomes
  // kErrorRegistryIoFailed. Bodies make no change before they know they will succeed.
  template <typename Body>
  Status Run(Database::Mode mode, Body&& body);

  Database& db_;
  std::function<std::uint32_t()> codePage_;
  std::unordered_map<KeyHandle, std::int64_t> handles_;
  KeyHandle nextHandle_;
};

}  // namespace dav::platform::sim
