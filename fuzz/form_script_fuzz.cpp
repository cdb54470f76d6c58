// The editors' script driver: the first byte picks the editor (bit 0: system, else window)
// and the example document it opens on (bit 1: a document without rows); the rest is the
// script. A script is read or refused with the line at fault; carrying it out either works
// or stops with the line at fault; and a document that OK built settles when the same
// editor loads it again.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "editors/form_script.h"
#include "fuzz/scratch_editor.h"
#include "util/ansi_text.h"

namespace {

// Where carrying a script out stops: at a line, or at its end with a form still open.
bool SaysWhere(const std::string& message) {
  return message.rfind("line ", 0) == 0 || message.rfind("the script ended", 0) == 0;
}

// An example document as the component hands it to an editor (UTF-8).
std::string Example(const char* name) {
  std::ifstream in(std::filesystem::path(DAV_EXAMPLES_DIR) / name, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.empty()) abort();
  return dav::util::FromAnsi(dav::fuzz::ScratchMachine::Get(), bytes);
}

const std::string& Document(bool system, bool empty) {
  static const std::string kEmpty =
      "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
      "SpecVersion=\"1.0.0\"></Configuration></DocRoot>";
  static const std::string kWindow = Example("WinConfig.qsf");
  static const std::string kSystem = Example("SysConfig.qsf");
  if (empty) return kEmpty;
  return system ? kSystem : kWindow;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static dav::fuzz::ScratchEditor editor;
  const bool system = data[0] & 1;
  const std::string_view script(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<dav::editors::ScriptAction> actions;
  try {
    actions = dav::editors::ParseScript(script);
  } catch (const dav::editors::ScriptError& error) {
    if (std::string(error.what()).rfind("line ", 0) != 0) abort();
    return 0;
  }
  dav::fuzz::ClosingUi dialogs;
  dav::editors::ScriptUi ui(std::move(actions), dialogs);
  dav::fuzz::Edited edited;
  try {
    edited = editor.Edit(ui, system, Document(system, data[0] & 2));
  } catch (const dav::editors::ScriptError& error) {
    if (!SaysWhere(error.what()) || ui.error().empty()) abort();
    return 0;
  }
  if (edited.output.empty()) return 0;
  if (!editor.Settles(system, edited.output)) abort();
  return 0;
}
