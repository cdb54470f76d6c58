// The store's lists as start program records for documents and editors, and edited
// records back into the store.
#include "startup/start_program_manager.h"
#include "util/report_failure.h"

namespace dav::startup {

using platform::kHKeyLocalMachine;

void StartProgramManager::GetSPMData(KeyHandle storeHive, std::string_view listKey,
                                     std::int32_t hKey, std::string_view path, bool prevStart,
                                     bool start, std::vector<Record>& list) {
  util::ReportingFailures(log_, "CCDavIrizevez.GetSPMData", [&] {
    if (listKey == ListOf(places_.startListKey, kLiveKeys[0])) list.clear();
    // An entry that cannot be read is left out rather than handed on half-filled. The texts
    // carry no trailing NUL: they go into documents as they are and are compared with the
    // Run key paths when they come back.
    for (Entry& entry : Entries(storeHive, listKey)) {
      Record record;
      record.spmFileName = std::move(entry.name);
      record.spmPathSwitch = std::move(entry.data);
      record.spmRegPath = std::string(path);
      record.spmRegHKey = hKey;
      record.spmIsPrevStart = prevStart;
      record.spmIsStart = start;
      list.push_back(std::move(record));
    }
  });
}

std::vector<StartProgramManager::Record> StartProgramManager::List() {
  return util::ReportingFailures(log_, "CCDavIrizevez.List [PropertyGet]", [&] {
    std::vector<Record> list;
    for (const auto& [listKey, flag] :
         {std::pair{&places_.startListKey, true}, std::pair{&places_.offListKey, false}}) {
      for (const LiveKey& live : kLiveKeys) {
        GetSPMData(kHKeyLocalMachine, ListOf(*listKey, live), static_cast<std::int32_t>(live.hive),
                   live.path, flag, flag, list);
      }
    }
    return list;
  });
}

void StartProgramManager::List(const std::vector<Record>& records) {
  util::ReportingFailures(log_, "CCDavIrizevez.List [PropertyLet]", [&] {
    for (const Record& record : records) {
      const LiveKey* live = LiveKeyOf(static_cast<KeyHandle>(record.spmRegHKey), record.spmRegPath);
      if (!live) {
        log_.Write("CCDavIrizevez.List [PropertyLet]: \"" + record.spmFileName + "\" (HKey " +
                   std::to_string(record.spmRegHKey) + ", Path \"" + record.spmRegPath +
                   "\") names no managed Run key; skipped");
        continue;
      }
      const std::string startList = ListOf(places_.startListKey, *live);
      const std::string offList = ListOf(places_.offListKey, *live);
      const std::string& name = record.spmFileName;
      if (record.spmDelete) {
        spm_.DeleteRegValueName(kHKeyLocalMachine, record.spmIsPrevStart ? startList : offList,
                                name);
        // And from the other list: an apply cut short after the first delete leaves the
        // name in the Run key, where the next start's enforcement moves it to the off list;
        // the document applied again must still remove it.
        spm_.DeleteRegValueName(kHKeyLocalMachine, record.spmIsPrevStart ? offList : startList,
                                name);
        spm_.DeleteRegValueName(live->hive, live->path, name);
        continue;
      }
      // The place the record asks for: the start list (a protected name its live key) or
      // the off list.
      const bool own = mdSPM::IsProtectedEntry(name);
      const KeyHandle toHive = record.spmIsStart && own ? live->hive : kHKeyLocalMachine;
      const std::string to =
          record.spmIsStart ? (own ? std::string(live->path) : startList) : offList;
      // An unchanged record is left alone: a document made on another PC must not add that
      // PC's programs here, nor move one that is off here into the off list.
      if (record.spmIsStart == record.spmIsPrevStart) continue;
      // The entry keeps the type it had in the list it leaves (REG_EXPAND_SZ stays one).
      const std::string& from = record.spmIsStart ? offList : startList;
      const std::int32_t kept = TypeIn(kHKeyLocalMachine, from, name);
      Write(toHive, to, name, IsCommandType(kept) ? kept : platform::kRegSz, record.spmPathSwitch);
      spm_.DeleteRegValueName(kHKeyLocalMachine, from, name);
    }
  });
}

}  // namespace dav::startup
