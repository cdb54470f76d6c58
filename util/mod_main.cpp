#include "util/mod_main.h"

#include "util/procedure.h"
#include "util/xml_escape.h"

namespace dav::modMain {

std::string NormalizeFlag(std::string_view text) {
  return text == "1" ? "1" : "0";
}

std::string Strz2Str(std::string_view text) {
  const std::size_t nul = text.find('\0');
  return std::string(nul == std::string_view::npos ? text : text.substr(0, nul));
}

std::string XMLValueReplace(util::Log& log, std::string_view text) {
  return util::EscapeReportingTo(log, "modMain.XMLValueReplace", text);
}

std::string GetSpecialFolderPath(util::Log& log, int csidl) {
  try {
    std::string path;
    if (log.platform().shell().SpecialFolderPath(csidl, &path) != platform::kErrorSuccess) {
      return {};
    }
    return Strz2Str(path);
  } catch (...) {
    const util::Failure f = util::CurrentFailure();
    log.Write("[err: mdMain.GetSpecialFolderPath] " + std::to_string(f.number) + "\t" +
              f.description);
    return {};
  }
}

bool UF_IsWinNT(util::Log& log) {
  try {
    return log.platform().system().Version().platformId == platform::kPlatformWin32NT;
  } catch (...) {
    const util::Failure f = util::CurrentFailure();
    log.ReportError("mdMain.UF_IsWinNT", f.number, f.description, false);
    return false;
  }
}

void WaitSeconds(platform::Clock& clock, float seconds) {
  // Measured on the full time, not the time of day, so a wait across midnight ends too.
  const platform::LocalTime start = clock.Now();
  const auto wanted = std::chrono::duration<double>(seconds);
  do {
    clock.PumpMessages();
  } while (clock.Now() - start < wanted);
}

bool WriteIniString(platform::Platform& platform, std::string_view file, std::string_view section,
                    std::string_view key, std::string_view value) {
  return platform.ini().WriteString(file, section, key, value);
}

std::string ReadIniString(platform::Platform& platform, std::string_view file,
                          std::string_view section, std::string_view key,
                          std::string_view defaultValue) {
  constexpr std::size_t kBufferSize = 500;
  return platform.ini().ReadString(file, section, key, defaultValue, kBufferSize);
}

}  // namespace dav::modMain
