// Forcing the live keys towards the store while protection is on.
#include <array>

#include "registry/opened_key.h"
#include "startup/start_program_manager.h"
#include "util/report_failure.h"

namespace dav::startup {

using platform::kHKeyLocalMachine;

void StartProgramManager::EditSRStart(KeyHandle liveHive, std::string_view liveKey,
                                      KeyHandle storeHive, std::string_view startListKey,
                                      std::string_view offListKey) {
  util::ReportingFailures(log_, "CCDavIrizevez.EditSRStart", [&] {
    const Names live = NamesIn(liveHive, liveKey);
    const Names start = NamesIn(storeHive, startListKey);
    std::int32_t n = live.size();
    const std::int32_t m = start.size();
    for (std::string_view name : kCountingNames) {
      if (live.Has(name)) --n;
    }
    if (n < 0 || m < 0) return;

    if (m < n) {
      // The live key holds entries the start list does not: they are switched off. From the
      // last entry down, as in the registry's own order of deleting.
      const std::vector<Entry> entries = Entries(liveHive, liveKey);
      for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (mdSPM::IsProtectedEntry(entry->name) || !IsCommandType(entry->type) ||
            start.Has(entry->name)) {
          continue;
        }
        Write(storeHive, offListKey, entry->name, entry->type, entry->data);
        spm_.DeleteRegValueName(liveHive, liveKey, entry->name);
      }
      return;
    }
    // Otherwise the start list's entries that went missing come back, with their type.
    if (start.Within(live)) return;  // nothing missing: nothing to read
    const std::vector<Entry> entries = Entries(storeHive, startListKey);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
      if (!live.Has(entry->name)) {
        Write(liveHive, liveKey, entry->name, entry->type, entry->data);
      }
    }
  });
}

void StartProgramManager::EditStartReg() {
  util::ReportingFailures(log_, "CCDavIrizevez.EditStartReg", [&] {
    for (const LiveKey& live : kLiveKeys) {
      EditSRStart(live.hive, live.path, kHKeyLocalMachine, ListOf(places_.startListKey, live),
                  ListOf(places_.offListKey, live));
    }
    EditSRDel();
  });
}

void StartProgramManager::EditSRDel() {
  util::ReportingFailures(log_, "CCDavIrizevez.EditSRDel", [&] {
    if (!isWinNT_) {
      for (const LiveKey& live : kLiveKeys) {
        EditDataReg(live.hive, live.disabledPath, kHKeyLocalMachine,
                    ListOf(places_.offListKey, live), 1);
      }
      return;
    }
    // From the last record down, as records are deleted on the way.
    const std::vector<std::string> names = SwitchedOffNames();
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
      const SwitchedOff record = ReadSwitchedOff(*name);
      if (!record.live) {
        LogSkipped("CCDavIrizevez.EditSRDel", record);
        continue;
      }
      const std::string offList = ListOf(places_.offListKey, *record.live);
      if (Holds(kHKeyLocalMachine, offList, record.name)) continue;
      if (mdSPM::IsProtectedEntry(record.name) &&
          !Holds(record.live->hive, record.live->path, record.name)) {
        Write(kHKeyLocalMachine, offList, record.name, platform::kRegSz, record.command);
      }
      spm_.DeleteRegKey(spm_.GetRegHKey(kHKeyLocalMachine, kStartupRegKey), record.name);
    }
  });
}

}  // namespace dav::startup
