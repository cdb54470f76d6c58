// Document loading and every applier on a scratch PC, which each input finds as it was
// after the component started. The first byte picks the way in: bit 0 the system or the
// window document, bit 1 the WinXP or the Win7 component, bit 2 the text as the client hands
// it over or a file of the PC decoded by its declared encoding (the re-application of a
// saved document). With bit 3 the text is a legacy settings document instead, applied with
// its start programs, desktop icons and display mode (bits 0 and 2 clear), or from a file
// as at a manager's login (bit 0) or log-off (bit 2). The rest is the document. Nothing may
// crash, and the component must go on answering requests afterwards.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/scratch_component.h"

namespace {

using dav::fuzz::ScratchComponent;

void ApplyLegacy(ScratchComponent& c, std::uint8_t way, const std::string& document,
                 const std::string& path) {
  if ((way & 5) == 0) {
    c.component->ApplyWindowSettingXML(document);
    return;
  }
  if (dav::fuzz::ScratchMachine::Get().files().WriteAll(path, document) != 0) abort();
  if (way & 1) {
    c.component->ApplyXML_ManagerLogin(path);
  } else {
    c.component->ApplyXML_ManagerLogoff(path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static ScratchComponent winXP("2.5.1");
  static ScratchComponent win7("2.6.1");
  static const bool kept = (dav::fuzz::ScratchMachine::Keep(), true);
  (void)kept;
  dav::fuzz::ScratchMachine::Reset();

  const std::uint8_t way = data[0];
  const std::string document(reinterpret_cast<const char*>(data) + 1, size - 1);
  ScratchComponent& c = way & 2 ? win7 : winXP;
  const bool system = way & 1;
  const std::string path = std::string(dav::fuzz::kComponentFolder) + "\\fuzz.qsf";
  if (way & 8) {
    ApplyLegacy(c, way, document, path);
  } else if (way & 4) {
    if (dav::fuzz::ScratchMachine::Get().files().WriteAll(path, document) != 0) abort();
    if (system) {
      c.component->ApplySysConfigXML("", path, true);
    } else {
      c.component->ApplyWinConfigXML("", path, true);
    }
  } else if (system) {
    c.component->ApplySysConfigXML(document, "", false);
  } else {
    c.component->ApplyWinConfigXML(document, "", false);
  }
  if (!c.Answers(system)) abort();
  return 0;
}
