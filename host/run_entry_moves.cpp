#include "host/run_entry_moves.h"

#include <array>
#include <optional>

#include "catalogue/document_conventions.h"
#include "host/hive_names.h"
#include "startup/run_keys.h"

namespace dav::host {
namespace {

enum Place { kRunKey, kStartList, kOffList, kPlaces };
constexpr std::array<const char*, kPlaces> kPlaceNames = {"Run key", "start list", "off list"};

struct Where {
  Place place;
  const startup::LiveKey* live;
};

// The place a value's key is, when it is one: a managed Run key, or a list of the store
// (any client key: "...\SPManager\SPMRegStart\HKEY_LOCAL_MACHINE_RUN").
std::optional<Where> WhereOf(const std::string& key) {
  const std::string lower = catalogue::LowerId(key);
  for (const startup::LiveKey& live : startup::kLiveKeys) {
    const std::string hive(HiveName(live.hive));
    if (lower == catalogue::LowerId(hive + "\\" + std::string(live.path))) {
      return Where{kRunKey, &live};
    }
    const std::string label = catalogue::LowerId(live.label);
    for (const auto& [place, list] : {std::pair{kStartList, "\\spmanager\\spmregstart\\"},
                                      std::pair{kOffList, "\\spmanager\\spmregdelete\\"}}) {
      if (lower.ends_with(list + label)) return Where{place, &live};
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> RunEntryMoveCounts(const MachineChanges& changes) {
  std::array<std::array<std::size_t, kPlaces>, kPlaces> moved{};
  for (const ValueChange& left : changes.values) {
    if (!left.before || left.after) continue;
    const std::optional<Where> from = WhereOf(left.key);
    if (!from) continue;
    for (const ValueChange& written : changes.values) {
      if (!written.after) continue;
      const std::optional<Where> to = WhereOf(written.key);
      if (!to || to->live != from->live || to->place == from->place ||
          catalogue::LowerId(written.name) != catalogue::LowerId(left.name)) {
        continue;
      }
      ++moved[from->place][to->place];
      break;
    }
  }
  std::vector<std::string> counts;
  for (int from = 0; from < kPlaces; ++from) {
    for (int to = 0; to < kPlaces; ++to) {
      const std::size_t n = moved[from][to];
      if (n == 0) continue;
      counts.push_back(std::to_string(n) + (n == 1 ? " Run entry" : " Run entries") + " moved " +
                       kPlaceNames[from] + " -> " + kPlaceNames[to]);
    }
  }
  return counts;
}

}  // namespace dav::host
