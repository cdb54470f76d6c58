// The editors' loading (SetXML and the section loaders) over any document text: bit 0 of
// the first byte picks the system or the window editor, the rest is the document. Loading
// never fails, and what the editor writes of a loaded document settles: written again
// after one more loading, it stays the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/scratch_editor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static dav::fuzz::ScratchEditor editor;
  dav::fuzz::ClosingUi ui;
  const bool system = data[0] & 1;
  const std::string document(reinterpret_cast<const char*>(data) + 1, size - 1);
  const dav::fuzz::Edited first = editor.Edit(ui, system, document);
  if (!first.output.empty()) abort();  // nobody pressed OK
  if (!editor.Settles(system, first.unchanged)) abort();
  return 0;
}
