// The ini reader and writer over any file bytes: reads never fail, a key written reads back,
// whole sections written read back exactly, and the sections not named stay as they were.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/scratch_machine.h"

namespace {

constexpr const char* kFile = "C:\\fuzz.ini";

bool SameKeys(const std::vector<dav::platform::IniKey>& a,
              const std::vector<dav::platform::IniKey>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].value != b[i].value) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dav::platform::Platform& pc = dav::fuzz::ScratchMachine::Get();
  if (pc.files().WriteAll(kFile, std::string_view(reinterpret_cast<const char*>(data), size)) !=
      dav::platform::kErrorSuccess) {
    abort();
  }
  dav::platform::IniFiles& ini = pc.ini();
  ini.ReadString(kFile, "setting", "0", "", 500);
  const std::vector<dav::platform::IniKey> setting = ini.ReadSection(kFile, "setting");

  if (!ini.WriteString(kFile, "value", "0", "QzpcRGF0YQ==") ||
      ini.ReadString(kFile, "value", "0", "", 500) != "QzpcRGF0YQ==") {
    abort();
  }
  const std::vector<dav::platform::IniKey> paths = {{"0", "RTpc"}, {"1", "RDpcRG9jcw=="}};
  if (!ini.WriteSections(kFile, {{"value", paths}, {"new", {{"k", "v"}}}}) ||
      !SameKeys(ini.ReadSection(kFile, "value"), paths) ||
      ini.ReadString(kFile, "new", "k", "", 500) != "v" ||
      !SameKeys(ini.ReadSection(kFile, "setting"), setting)) {
    abort();
  }
  // Removes the first section of the name (a file may hold a second one).
  if (!ini.WriteSections(kFile, {{"value", {}}})) abort();
  return 0;
}
