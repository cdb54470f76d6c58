// The start program manager: which programs start with Windows.
//
// It keeps two lists in the store (run_keys.h), the programs that are to start and those
// that are to stay off, and does one of two things with the live Run keys: while protection
// is off it takes a snapshot of them into the store (RefreshSPMStore); while protection is
// on it forces them towards the store (EditStartReg). It hands the lists to the document
// layer as start program records and takes edited records back (List).
//
// The operations are the component's (CCDavIrizevez.<name>); the manager is made for the
// call that needs it and holds only where the store is and the Windows family. Each has its
// own error handler: a run-time failure goes to the error reporter under the operation's
// source name ("CCDavIrizevez.EditSRStart", "CCDavIrizevez.List [PropertyGet]" ...) and is
// raised again to the caller; what the operation changed before it stays changed. A
// registry call that merely fails (a missing key or value) is no failure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "listdoc/md_type_define.h"
#include "registry/md_spm.h"
#include "startup/run_keys.h"
#include "util/log.h"

namespace dav::startup {

class StartProgramManager {
 public:
  using KeyHandle = platform::KeyHandle;
  using Record = mdTypeDefine::UType_SPMData;

  StartProgramManager(util::Log& log, StorePlaces places, bool isWinNT);

  // Creates the store key, the start and off lists with their three label keys, and
  // SPMFolder.
  void CreateSPMKey();

  // Snapshots: the live keys' entries into the start list (protected names left out); the
  // switched-off entries ("startupreg" records, or the "Run-" keys on Windows 9x) into the
  // off list.
  void EditDRStart();
  void EditDRDel();

  // Mode 0 copies the source key's entries (not the protected ones) into the target,
  // overwriting; mode 1 deletes from the source every entry that the target lacks.
  void EditDataReg(KeyHandle sourceHive, std::string_view sourceKey, KeyHandle targetHive,
                   std::string_view targetKey, std::int32_t mode);

  // Empties one list of the store.
  void DelDataReg(std::string_view listKey, std::string_view label);

  // Empties the three start lists and takes both snapshots. The off lists keep what they
  // held, so an entry once seen switched off stays there.
  void RefreshSPMStore();

  // EditSRStart for the three live keys, then EditSRDel.
  void EditStartReg();

  // Moves one live key towards its lists, in one direction per call: when the live key
  // holds more entries than the start list (the client's five counted services aside), its
  // unprotected entries that the start list lacks go to the off list; otherwise the start
  // list's entries that the live key lacks are written back into it.
  void EditSRStart(KeyHandle liveHive, std::string_view liveKey, KeyHandle storeHive,
                   std::string_view startListKey, std::string_view offListKey);

  // Switched-off entries that the off list does not hold are switched off no more: their
  // "startupreg" record is deleted (on Windows 9x their "Run-" entry).
  void EditSRDel();

  // Appends the entries of one list of the store as records with the given HKey, Path and
  // flags. The start list's HKEY_LOCAL_MACHINE_RUN key begins a new list.
  void GetSPMData(KeyHandle storeHive, std::string_view listKey, std::int32_t hKey,
                  std::string_view path, bool prevStart, bool start, std::vector<Record>& list);

  // The start list's records (flags true), then the off list's (flags false).
  std::vector<Record> List();

  // Applies edited records to the store: a record switched on moves to the start list (a
  // protected one straight into its live key), one switched off to the off list, each keeping
  // the type it had in the list it leaves; a deleted one leaves its list and its live key. A
  // record whose flags are unchanged is left alone. The live keys follow at the next
  // EditStartReg.
  void List(const std::vector<Record>& records);

  // Protection: on unless "EveryTime" reads exactly "0".
  bool EnableOpt();
  void EnableOpt(bool on);

  // One entry of a key: name, type and data (the text up to its NUL).
  struct Entry {
    std::string name;
    std::int32_t type = 0;
    std::string data;
    friend bool operator==(const Entry&, const Entry&) = default;
  };
  // A "startupreg" record of the system configuration utility.
  struct SwitchedOff {
    std::string name;
    std::string command;
    std::string hkey;
    std::string key;
    const LiveKey* live = nullptr;  // null: the record names no managed key
  };

  // Reading without changing anything: the entries of a key in the registry's order (those
  // that do not fit the 255-byte buffers left out), and the "startupreg" records.
  std::vector<Entry> Entries(KeyHandle hive, std::string_view key);
  std::vector<SwitchedOff> SwitchedOffRecords();

 private:
  // The names a key holds, compared as the registry compares them (without regard to
  // letter case); each key is read once per operation, through one open handle.
  class Names {
   public:
    void Add(std::string_view name);
    bool Has(std::string_view name) const;
    // True when the other set holds every name of this one.
    bool Within(const Names& other) const;
    std::int32_t size() const { return static_cast<std::int32_t>(folded_.size()); }

   private:
    std::unordered_set<std::string> folded_;
  };
  Names NamesIn(KeyHandle hive, std::string_view key);
  // A key's values as the registry holds them (data as stored), read through one handle.
  struct StoredValue {
    std::string name;
    platform::ValueType type = platform::kRegNone;
    std::string data;
    friend bool operator==(const StoredValue&, const StoredValue&) = default;
  };
  std::vector<StoredValue> StoredValues(KeyHandle hive, std::string_view key);
  bool Holds(KeyHandle hive, std::string_view key, std::string_view name);
  void Write(KeyHandle hive, std::string_view key, std::string_view name, std::int32_t type,
             std::string_view data);
  std::int32_t TypeIn(KeyHandle hive, std::string_view key, std::string_view name);

  // True when the start list of the live key holds exactly the snapshot that emptying it
  // and copying the live key would make.
  bool IsSnapshotOf(const LiveKey& live);
  std::size_t AnsiNameLength(std::string_view name);
  // One "startupreg" record, and the names of all of them in the registry's order.
  SwitchedOff ReadSwitchedOff(const std::string& name);
  std::vector<std::string> SwitchedOffNames();
  void LogSkipped(std::string_view source, const SwitchedOff& record);

  util::Log& log_;
  mdSPM spm_;
  StorePlaces places_;
  bool isWinNT_;
};

}  // namespace dav::startup
