// Taking the live keys into the store while protection is off: the start lists become a
// copy of the Run keys, and entries switched off elsewhere join the off lists.
#include "registry/opened_key.h"
#include "startup/reported.h"
#include "startup/start_program_manager.h"

namespace dav::startup {

using platform::kHKeyLocalMachine;

void StartProgramManager::EditDataReg(KeyHandle sourceHive, std::string_view sourceKey,
                                      KeyHandle targetHive, std::string_view targetKey,
                                      std::int32_t mode) {
  Reported(log_, "CCDavIrizevez.EditDataReg", [&] {
    const std::int32_t count = CountValues(sourceHive, sourceKey);
    // From the last entry down, so that deleting one leaves the indices still to come.
    for (std::int32_t index = count - 1; index >= 0; --index) {
      Entry entry;
      if (!ReadEntry(sourceHive, sourceKey, index, entry)) continue;
      const bool isProtected = mdSPM::IsProtectedEntry(entry.name);
      if (mode == 0) {
        if (!isProtected && IsCommandType(entry.type)) {
          Write(targetHive, targetKey, entry.name, entry.type, entry.data);
        }
      } else if (mode == 1 && !Holds(targetHive, targetKey, entry.name)) {
        if (isProtected && !Holds(sourceHive, sourceKey, entry.name)) {
          Write(targetHive, targetKey, entry.name, platform::kRegSz, entry.data);
        }
        spm_.DeleteRegValueName(sourceHive, sourceKey, entry.name);
      }
    }
  });
}

void StartProgramManager::EditDRStart() {
  Reported(log_, "CCDavIrizevez.EditDRStart", [&] {
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
  Reported(log_, "CCDavIrizevez.EditDRDel", [&] {
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
  Reported(log_, "CCDavIrizevez.DelDataReg", [&] {
    const std::string list = std::string(listKey) + "\\" + std::string(label);
    for (std::int32_t index = CountValues(kHKeyLocalMachine, list) - 1; index >= 0; --index) {
      Entry entry;
      if (ReadEntry(kHKeyLocalMachine, list, index, entry)) {
        spm_.DeleteRegValueName(kHKeyLocalMachine, list, entry.name);
      }
    }
  });
}

void StartProgramManager::RefreshSPMStore() {
  Reported(log_, "CCDavIrizevez.RefreshSPMStore", [&] {
    for (const LiveKey& live : kLiveKeys) DelDataReg(places_.startListKey, live.label);
    EditDRStart();
    EditDRDel();
  });
}

}  // namespace dav::startup
