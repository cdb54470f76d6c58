#include "startup/start_program_manager.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "registry/opened_key.h"
#include "util/report_failure.h"

namespace dav::startup {

using platform::kHKeyLocalMachine;

namespace {
constexpr char kEveryTime[] = "EveryTime";
}  // namespace

StartProgramManager::StartProgramManager(util::Log& log, StorePlaces places, bool isWinNT)
    : log_(log), spm_(log), places_(std::move(places)), isWinNT_(isWinNT) {}

void StartProgramManager::Names::Add(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  folded_.insert(std::move(folded));
}

bool StartProgramManager::Names::Has(std::string_view name) const {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded_.count(folded) != 0;
}

StartProgramManager::Names StartProgramManager::NamesIn(KeyHandle hive, std::string_view key) {
  auto& registry = log_.platform().registry();
  Names names;
  const OpenedKey opened(registry, spm_.GetRegHKey(hive, key));
  if (!opened) return names;
  std::string name;
  for (std::uint32_t index = 0;
       registry.EnumValue(opened.get(), index, &name, nullptr, nullptr) == platform::kErrorSuccess;
       ++index) {
    names.Add(name);
  }
  return names;
}

bool StartProgramManager::Names::Within(const Names& other) const {
  return std::all_of(folded_.begin(), folded_.end(),
                     [&other](const std::string& name) { return other.folded_.count(name) != 0; });
}

std::vector<StartProgramManager::StoredValue> StartProgramManager::StoredValues(
    KeyHandle hive, std::string_view key) {
  auto& registry = log_.platform().registry();
  std::vector<StoredValue> values;
  const OpenedKey opened(registry, spm_.GetRegHKey(hive, key));
  if (!opened) return values;
  StoredValue value;
  for (std::uint32_t index = 0; registry.EnumValue(opened.get(), index, &value.name, &value.type,
                                                   &value.data) == platform::kErrorSuccess;
       ++index) {
    values.push_back(value);
  }
  return values;
}

bool StartProgramManager::Holds(KeyHandle hive, std::string_view key, std::string_view name) {
  std::string value;
  std::int32_t size = 0;
  return spm_.GetRegValue(hive, key, name, platform::kRegSz, value, size);
}

void StartProgramManager::Write(KeyHandle hive, std::string_view key, std::string_view name,
                                std::int32_t type, std::string_view data) {
  std::string value(data);
  spm_.SetRegValue(hive, key, name, type, value);
}

std::int32_t StartProgramManager::TypeIn(KeyHandle hive, std::string_view key,
                                         std::string_view name) {
  auto& registry = log_.platform().registry();
  const OpenedKey opened(registry, spm_.GetRegHKey(hive, key));
  platform::ValueType type = platform::kRegNone;
  if (!opened ||
      registry.QueryValue(opened.get(), name, &type, nullptr, nullptr) != platform::kErrorSuccess) {
    return platform::kRegNone;
  }
  return static_cast<std::int32_t>(type);
}

std::vector<StartProgramManager::Entry> StartProgramManager::Entries(KeyHandle hive,
                                                                     std::string_view key) {
  std::vector<Entry> entries;
  const OpenedKey opened(log_.platform().registry(), spm_.GetRegHKey(hive, key));
  if (!opened) return entries;
  for (std::int32_t index = 0, count = spm_.GetCntValues(opened.get()); index < count; ++index) {
    Entry entry;
    std::int32_t nameLength = 0;
    std::int32_t dataSize = 0;
    std::int32_t values = 0;
    if (spm_.EnumOpenRegValues(opened.get(), index, entry.name, nameLength, entry.type, entry.data,
                               dataSize, values) == 1) {
      entries.push_back(std::move(entry));
    }
  }
  return entries;
}

std::vector<StartProgramManager::SwitchedOff> StartProgramManager::SwitchedOffRecords() {
  std::vector<SwitchedOff> records;
  for (const std::string& name : SwitchedOffNames()) records.push_back(ReadSwitchedOff(name));
  return records;
}

void StartProgramManager::CreateSPMKey() {
  util::ReportingFailures(log_, "CCDavIrizevez.CreateSPMKey", [&] {
    auto& registry = log_.platform().registry();
    const auto create = [&](const std::string& key) {
      KeyHandle created = platform::kNoKey;
      if (spm_.CreateRegKey(kHKeyLocalMachine, key, created)) registry.CloseKey(created);
    };
    create(places_.storeKey);
    for (const std::string* list : {&places_.startListKey, &places_.offListKey}) {
      create(*list);
      for (const LiveKey& live : kLiveKeys) create(ListOf(*list, live));
    }
    create(places_.folderKey);
  });
}

bool StartProgramManager::EnableOpt() {
  return util::ReportingFailures(log_, "CCDavIrizevez.EnableOpt [PropertyGet]", [&] {
    std::string value;
    std::int32_t size = 0;
    spm_.GetRegValue(kHKeyLocalMachine, places_.storeKey, kEveryTime, platform::kRegSz, value,
                     size);
    return value != "0";
  });
}

void StartProgramManager::EnableOpt(bool on) {
  util::ReportingFailures(log_, "CCDavIrizevez.EnableOpt [PropertyLet]", [&] {
    Write(kHKeyLocalMachine, places_.storeKey, kEveryTime, platform::kRegSz, on ? "1" : "0");
  });
}

}  // namespace dav::startup
