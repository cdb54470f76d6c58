// The settings of a simulated PC: their names, the defaults of a Korean Windows XP PC and
// the form each value must have.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dav::platform::sim {

namespace setting {
inline constexpr const char* kPlatformId = "platform_id";               // 1 or 2
inline constexpr const char* kVersion = "version";                      // major.minor.build
inline constexpr const char* kServicePack = "service_pack";             // szCSDVersion
inline constexpr const char* kCodePage = "code_page";                   // the ANSI code page
inline constexpr const char* kUserName = "user_name";                   // GetUserNameA
inline constexpr const char* kSystemDirectory = "system_directory";     // GetSystemDirectoryA
inline constexpr const char* kShortDate = "short_date";                 // LOCALE_SSHORTDATE
inline constexpr const char* kTimeFormat = "time_format";               // LOCALE_STIMEFORMAT
inline constexpr const char* kAm = "am";                                // LOCALE_S1159
inline constexpr const char* kPm = "pm";                                // LOCALE_S2359
inline constexpr const char* kMessageBoxAnswer = "message_box_answer";  // IDOK (1) .. IDNO (7)
// What the PC-management client installed on this PC reports to the component.
inline constexpr const char* kClientFolder = "client_folder";  // its installation folder
inline constexpr const char* kClientKey = "client_key";        // its key below HKLM
inline constexpr const char* kSpecVersion = "spec_version";    // its version text
// How a wait for time to pass goes by: "real" sleeps, "skip" moves the machine's clock on.
inline constexpr const char* kWaits = "waits";
// Faults the machine shows on purpose (platform/sim/faults.h); "" for none.
inline constexpr const char* kFaults = "faults";
}  // namespace setting

struct SettingDefault {
  const char* name;
  std::string value;
};

// Every setting with its default, in the order they are listed.
const std::vector<SettingDefault>& DefaultSettings();

// An empty text when value is acceptable for the setting, otherwise what is wrong, for
// the message of a PlatformError. An unknown name is wrong too.
std::string CheckSetting(std::string_view name, std::string_view value);

}  // namespace dav::platform::sim
