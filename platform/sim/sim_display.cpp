#include "platform/sim/sim_display.h"

#include <cstdio>
#include <optional>

#include "platform/sim/sqlite_guard.h"

namespace dav::platform::sim {
namespace {

constexpr std::uint32_t kAllFields =
    kDmBitsPerPel | kDmPelsWidth | kDmPelsHeight | kDmDisplayFrequency;

DisplayMode FromRow(const Query& row) {
  return DisplayMode{kAllFields, static_cast<std::uint32_t>(row.Int(2)),
                     static_cast<std::uint32_t>(row.Int(0)), static_cast<std::uint32_t>(row.Int(1)),
                     static_cast<std::uint32_t>(row.Int(3))};
}

std::optional<DisplayMode> ReadSetting(Database& db, const char* which) {
  auto query =
      db.Prepare("SELECT width, height, bits, frequency FROM display_settings WHERE name = ?");
  if (!query.Bind(1, std::string_view(which)).Step()) return std::nullopt;
  return FromRow(query);
}

std::optional<DisplayMode> ReadListed(Database& db, std::uint32_t number) {
  auto query =
      db.Prepare("SELECT width, height, bits, frequency FROM display_modes WHERE number = ?");
  if (!query.Bind(1, std::int64_t{number}).Step()) return std::nullopt;
  return FromRow(query);
}

// The listed mode that a request names, if the adapter offers one.
std::optional<DisplayMode> FindOffered(Database& db, const DisplayMode& wanted) {
  const bool anyRate = wanted.displayFrequency <= 1;
  auto query = db.Prepare(
      "SELECT width, height, bits, frequency FROM display_modes"
      " WHERE width = ? AND height = ? AND bits = ? AND (? OR frequency = ?)"
      " ORDER BY number LIMIT 1");
  query.Bind(1, std::int64_t{wanted.pelsWidth})
      .Bind(2, std::int64_t{wanted.pelsHeight})
      .Bind(3, std::int64_t{wanted.bitsPerPel})
      .Bind(4, std::int64_t{anyRate ? 1 : 0})
      .Bind(5, std::int64_t{wanted.displayFrequency});
  if (!query.Step()) return std::nullopt;
  return FromRow(query);
}

}  // namespace

std::string DescribeMode(const DisplayMode& mode) {
  return std::to_string(mode.pelsWidth) + "x" + std::to_string(mode.pelsHeight) + "x" +
         std::to_string(mode.bitsPerPel) + "@" + std::to_string(mode.displayFrequency);
}

void WriteDisplayModes(Database& db, const std::vector<DisplayMode>& modes) {
  db.Exec("DELETE FROM display_modes");
  std::int64_t number = 0;
  for (const DisplayMode& mode : modes) {
    db.Prepare(
          "INSERT INTO display_modes (number, width, height, bits, frequency)"
          " VALUES (?, ?, ?, ?, ?)")
        .Bind(1, number++)
        .Bind(2, std::int64_t{mode.pelsWidth})
        .Bind(3, std::int64_t{mode.pelsHeight})
        .Bind(4, std::int64_t{mode.bitsPerPel})
        .Bind(5, std::int64_t{mode.displayFrequency})
        .Run();
  }
}

void WriteDisplaySetting(Database& db, const char* which, const DisplayMode& mode) {
  db.Prepare(
        "INSERT OR REPLACE INTO display_settings (name, width, height, bits, frequency)"
        " VALUES (?, ?, ?, ?, ?)")
      .Bind(1, std::string_view(which))
      .Bind(2, std::int64_t{mode.pelsWidth})
      .Bind(3, std::int64_t{mode.pelsHeight})
      .Bind(4, std::int64_t{mode.bitsPerPel})
      .Bind(5, std::int64_t{mode.displayFrequency})
      .Run();
}

bool SimDisplay::ModeSettings(std::uint32_t modeNumber, DisplayMode* mode) {
  const auto found = TransactionOr(db_, Database::Mode::kRead, std::optional<DisplayMode>(), [&] {
    if (modeNumber == kEnumCurrentSettings) return ReadSetting(db_, kDisplayCurrent);
    if (modeNumber == kEnumRegistrySettings) return ReadSetting(db_, kDisplayRegistry);
    return ReadListed(db_, modeNumber);
  });
  if (!found) return false;
  *mode = *found;
  return true;
}

std::int32_t SimDisplay::ChangeModeEx(const DisplayMode& mode, std::uint32_t flags) {
  return Change(mode, flags);
}

std::int32_t SimDisplay::ChangeMode(const DisplayMode& mode, std::uint32_t flags) {
  return Change(mode, flags);
}

std::int32_t SimDisplay::Change(const DisplayMode& mode, std::uint32_t flags) {
  return TransactionOr(db_, Database::Mode::kWrite, kDispChangeFailed, [&] {
    const auto current = ReadSetting(db_, kDisplayCurrent);
    if (!current) return kDispChangeFailed;
    DisplayMode wanted = *current;
    if (mode.fields & kDmPelsWidth) wanted.pelsWidth = mode.pelsWidth;
    if (mode.fields & kDmPelsHeight) wanted.pelsHeight = mode.pelsHeight;
    if (mode.fields & kDmBitsPerPel) wanted.bitsPerPel = mode.bitsPerPel;
    if (mode.fields & kDmDisplayFrequency) wanted.displayFrequency = mode.displayFrequency;
    const auto offered = FindOffered(db_, wanted);
    if (!offered) {
      record_("display.refused", DescribeMode(wanted) + ": the adapter does not offer it");
      return kDispChangeBadMode;
    }
    if (flags & kCdsTest) return kDispChangeSuccessful;
    WriteDisplaySetting(db_, kDisplayCurrent, *offered);
    if (flags & kCdsUpdateRegistry) WriteDisplaySetting(db_, kDisplayRegistry, *offered);
    char flagText[16];
    std::snprintf(flagText, sizeof flagText, "0x%X", flags);
    record_("display.change", DescribeMode(*offered) + " (flags " + flagText + ")");
    return kDispChangeSuccessful;
  });
}

std::vector<DisplayMode> SimDisplay::Modes() {
  return TransactionOrThrow(db_, Database::Mode::kRead, "read the display modes", [&] {
    std::vector<DisplayMode> modes;
    auto query =
        db_.Prepare("SELECT width, height, bits, frequency FROM display_modes ORDER BY number");
    while (query.Step()) modes.push_back(FromRow(query));
    return modes;
  });
}

void SimDisplay::SetModes(const std::vector<DisplayMode>& modes) {
  TransactionOrThrow(db_, Database::Mode::kWrite, "change the display modes",
                     [&] { WriteDisplayModes(db_, modes); });
}

}  // namespace dav::platform::sim
