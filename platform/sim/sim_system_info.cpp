#include "platform/sim/sim_system_info.h"

#include <cstdlib>

#include "platform/sim/machine_settings.h"

namespace dav::platform::sim {
namespace {

// The settings were checked when they were written, so plain conversions suffice here.
std::uint32_t ToNumber(const std::string& text) {
  return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

}  // namespace

OsVersion SimSystemInfo::Version() {
  OsVersion version;
  const std::string text = store_.Setting(setting::kVersion);
  const std::size_t firstDot = text.find('.');
  const std::size_t secondDot = text.find('.', firstDot + 1);
  version.major = ToNumber(text.substr(0, firstDot));
  version.minor = ToNumber(text.substr(firstDot + 1, secondDot - firstDot - 1));
  version.build = ToNumber(text.substr(secondDot + 1));
  version.platformId = ToNumber(store_.Setting(setting::kPlatformId));
  version.servicePack = store_.Setting(setting::kServicePack);
  return version;
}

std::uint32_t SimSystemInfo::AnsiCodePage() {
  if (!codePage_) codePage_ = ToNumber(store_.Setting(setting::kCodePage));
  return *codePage_;
}

std::string SimSystemInfo::SystemDirectory() {
  return store_.Setting(setting::kSystemDirectory);
}

std::string SimSystemInfo::UserName() {
  return store_.Setting(setting::kUserName);
}

LocaleFormats SimSystemInfo::Locale() {
  // Read together: the debug log asks for the locale with every line it writes.
  std::vector<std::string> values =
      store_.Settings({setting::kShortDate, setting::kTimeFormat, setting::kAm, setting::kPm});
  return {std::move(values[0]), std::move(values[1]), std::move(values[2]), std::move(values[3])};
}

}  // namespace dav::platform::sim
