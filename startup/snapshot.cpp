// Taking the live keys into the store while protection is off: the start lists become a
// copy of the Run keys, and entries switched off elsewhere join the off lists.
#include <algorithm>
#include <array>

#include "registry/opened_key.h"
#include "startup/start_program_manager.h"
#include "util/ansi_text.h"
#include "util/report_failure.h"

namespace dav::startup {

using platform::kHKeyLocalMachine;

void StartProgramManager::EditDataReg(KeyHandle sourceHive, std::string_view sourceKey,
                                      KeyHandle targetHive, std::string_view targetKey,
                                      std::int32_t mode) {
  util::ReportingFailures(log_, "CCDavIrizevez.EditDataReg", [&] {
    const std::vector<Entry> entries = Entries(sourceHive, sourceKey);
    const Names target = mode == 1 ? NamesIn(targetHive, targetKey) : Names();
    // From the last entry down, so that deleting one leaves the entries still to come.
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
      const bool isProtected = mdSPM::IsProtectedEntry(entry->name);
      if (mode == 0) {
        if (!isProtected && IsCommandType(entry->type)) {
          Write(targetHive, targetKey, entry->name, entry->type, entry->data);
        }
      } else if (mode == 1 && !target.Has(entry->name)) {
        if (isProtected && !Holds(sourceHive, sourceKey, entry->name)) {
          Write(targetHive, targetKey, entry->name, platform::kRegSz, entry->data);
        }
        spm_.DeleteRegValueName(sourceHive, sourceKey, entry->name);
      }
    }
  });
}

void StartProgramManager::EditDRStart() {
  util::ReportingFailures(log_, "CCDavIrizevez.EditDRStart", [&] {
    for (const LiveKey& live : kLiveKeys) {
      EditDataReg(live.hive, live.path, kHKeyLocalMachine, ListOf(places_.startListKey, live), 0);
    }
  });
}

StartProgramManager::SwitchedOff StartProgramManager::ReadSwitchedOff(const std::string& name) {
  SwitchedOff record;
  record.name = name;
  const std::string key = std::string(kStartupRegKey) + "\\" + name;
  std::int32_t size = 0;
  spm_.GetRegValue(kHKeyLocalMachine, key, "command", platform::kRegSz, record.command, size);
  spm_.GetRegValue(kHKeyLocalMachine, key, "hkey", platform::kRegSz, record.hkey, size);
  spm_.GetRegValue(kHKeyLocalMachine, key, "key", platform::kRegSz, record.key, size);
  record.live = LiveKeyOfRecord(record.hkey, record.key);
  return record;
}

void StartProgramManager::LogSkipped(std::string_view source, const SwitchedOff& record) {
  log_.Write(std::string(source) + ": startupreg \"" + record.name + "\" (hkey \"" + record.hkey +
             "\", key \"" + record.key + "\") names no managed Run key; skipped");
}

std::vector<std::string> StartProgramManager::SwitchedOffNames() {
  std::vector<std::string> names;
  const OpenedKey records(log_.platform().registry(),
                          spm_.GetRegHKey(kHKeyLocalMachine, kStartupRegKey));
  if (!records) return names;
  const std::int32_t count = spm_.GetCntKey(records.get());
  for (std::int32_t index = 0; index < count; ++index) {
    std::string buffer;
    if (!spm_.EnumRegKey(records.get(), index, buffer)) continue;
    names.push_back(buffer.substr(0, buffer.find('\0')));
  }
  return names;
}

void StartProgramManager::EditDRDel() {
  util::ReportingFailures(log_, "CCDavIrizevez.EditDRDel", [&] {
    if (!isWinNT_) {
      for (const LiveKey& live : kLiveKeys) {
        EditDataReg(live.hive, live.disabledPath, kHKeyLocalMachine,
                    ListOf(places_.offListKey, live), 0);
      }
      return;
    }
    for (const std::string& name : SwitchedOffNames()) {
      const SwitchedOff record = ReadSwitchedOff(name);
      if (!record.live) {
        LogSkipped("CCDavIrizevez.EditDRDel", record);
        continue;
      }
      Write(kHKeyLocalMachine, ListOf(places_.offListKey, *record.live), record.name,
            platform::kRegSz, record.command);
    }
  });
}

void StartProgramManager::DelDataReg(std::string_view listKey, std::string_view label) {
  util::ReportingFailures(log_, "CCDavIrizevez.DelDataReg", [&] {
    const std::string list = std::string(listKey) + "\\" + std::string(label);
    const std::vector<Entry> entries = Entries(kHKeyLocalMachine, list);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
      spm_.DeleteRegValueName(kHKeyLocalMachine, list, entry->name);
    }
  });
}

void StartProgramManager::RefreshSPMStore() {
  util::ReportingFailures(log_, "CCDavIrizevez.RefreshSPMStore", [&] {
    // A start list that already is what emptying it and copying its live key would make
    // (the same entries in the same order) is left as it is, so that a snapshot of
    // unchanged Run keys writes nothing.
    std::array<bool, kLiveKeys.size()> current{};
    for (std::size_t i = 0; i < kLiveKeys.size(); ++i) {
      current[i] = IsSnapshotOf(kLiveKeys[i]);
      if (!current[i]) DelDataReg(places_.startListKey, kLiveKeys[i].label);
    }
    for (std::size_t i = 0; i < kLiveKeys.size(); ++i) {
      const LiveKey& live = kLiveKeys[i];
      if (!current[i]) {
        EditDataReg(live.hive, live.path, kHKeyLocalMachine, ListOf(places_.startListKey, live), 0);
      }
    }
    EditDRDel();
  });
}

std::size_t StartProgramManager::AnsiNameLength(std::string_view name) {
  // ASCII is one byte a character in every ANSI code page; only other text is converted.
  const bool ascii = std::all_of(name.begin(), name.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return ascii ? name.size() : util::AnsiLength(log_.platform(), name);
}

bool StartProgramManager::IsSnapshotOf(const LiveKey& live) {
  // What EditDataReg would write, as the registry would then hold it: the unprotected
  // command lines that fit the buffers, last first, each text up to its NUL with one NUL
  // after it (none for an empty text). Compared as stored, so that neither key's texts go
  // through a conversion.
  std::vector<StoredValue> expected;
  const std::vector<StoredValue> values = StoredValues(live.hive, live.path);
  for (auto value = values.rbegin(); value != values.rend(); ++value) {
    if (mdSPM::IsProtectedEntry(value->name) ||
        !IsCommandType(static_cast<std::int32_t>(value->type)) ||
        value->data.size() > mdSPM::kBufferSize ||
        AnsiNameLength(value->name) + 1 > mdSPM::kBufferSize) {
      continue;
    }
    StoredValue copy = *value;
    copy.data.resize(copy.data.find('\0') == std::string::npos ? copy.data.size()
                                                               : copy.data.find('\0'));
    if (!copy.data.empty()) copy.data += '\0';
    expected.push_back(std::move(copy));
  }
  return StoredValues(kHKeyLocalMachine, ListOf(places_.startListKey, live)) == expected;
}

}  // namespace dav::startup
