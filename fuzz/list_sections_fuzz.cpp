// The start program and desktop icon list sections. The first byte picks the reader: bits
// 0-1 ParseSPMList, ParseSPMListLegacy (icons inside StartProgramManager) or ParseDIList;
// the rest is the body of a configuration document. A reader fails only with a run-time
// error; what it read, written out by the section writers and read again, is the same list.
// With bit 2 the document then goes to the start program and desktop icon managers on the
// scratch PC (a window document, or a legacy settings document for the legacy reader), and
// the component must go on answering.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/scratch_component.h"
#include "listdoc/md_type_define.h"
#include "util/run_time_error.h"

namespace {

namespace md = dav::mdTypeDefine;

// The writers escape what the document form needs and nothing more: values with control
// characters (attribute values fold them into blanks) or, for icon file names, with
// characters no Windows file name holds, are not written back exactly.
bool Writable(const std::string& text, bool fileName) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (fileName && (c == '<' || c == '>' || c == '"')) return false;
  }
  return true;
}

bool Writable(const std::vector<md::UType_SPMData>& list) {
  for (const auto& e : list) {
    if (!Writable(e.spmFileName, false) || !Writable(e.spmPathSwitch, false) ||
        !Writable(e.spmRegPath, false)) {
      return false;
    }
  }
  return true;
}

bool Writable(const std::vector<md::UType_DIData>& list) {
  for (const auto& e : list) {
    if (!Writable(e.diFileName, true)) return false;
  }
  return true;
}

// Runs a reader; false when it raised a run-time error (anything else escapes and crashes).
template <typename Read>
bool Reads(Read&& read) {
  try {
    read();
    return true;
  } catch (const dav::util::RunTimeError&) {
    return false;
  }
}

void CheckRoundTrip(dav::util::Log& log, int reader, const std::string& document) {
  bool isProtected = false;
  std::vector<md::UType_SPMData> programs;
  std::vector<md::UType_DIData> icons;
  if (reader == 2) {
    if (!Reads([&] { md::ParseDIList(log, document, &isProtected, &icons); })) return;
    if (!Writable(icons)) return;
    bool again = false;
    std::vector<md::UType_DIData> read;
    md::ParseDIList(log, md::XMLDocument("1.0.0", md::XMLStringDIList(isProtected, icons)), &again,
                    &read);
    if (again != isProtected || read != icons) abort();
    return;
  }
  if (!Reads([&] {
        if (reader == 0) {
          md::ParseSPMList(log, document, &isProtected, &programs);
        } else {
          md::ParseSPMListLegacy(log, document, &isProtected, &programs, &icons);
        }
      })) {
    return;
  }
  if (!Writable(programs)) return;
  bool again = !isProtected;
  std::vector<md::UType_SPMData> read;
  md::ParseSPMList(log, md::XMLDocument("1.0.0", md::XMLStringSPMList(log, isProtected, programs)),
                   &again, &read);
  if (again != isProtected || read != programs) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // A log in a folder that does not exist writes nothing, so that reading costs no file.
  static dav::util::Log quiet(dav::fuzz::ScratchMachine::Get(), "C:\\no log");
  const int reader = (data[0] & 3) == 3 ? 2 : data[0] & 3;
  const std::string document =
      md::XMLDocument("1.0.0", std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  CheckRoundTrip(quiet, reader, document);
  if ((data[0] & 4) == 0) return 0;

  static dav::fuzz::ScratchComponent c("2.5.1");
  static const bool kept = (dav::fuzz::ScratchMachine::Keep(), true);
  (void)kept;
  dav::fuzz::ScratchMachine::Reset();
  if (reader == 1) {
    c.component->ApplyWindowSettingXML(document);
  } else {
    c.component->ApplyWinConfigXML(document, "", false);
  }
  if (!c.Answers(false)) abort();
  return 0;
}
