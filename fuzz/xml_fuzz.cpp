// Document loading with the well-formedness check: any text loads or gives a parse error
// with a reason; a loaded document's own text loads again, and paths select without failing.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "xml/document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  dav::xml::Document doc;
  if (!doc.loadXML(text)) {
    if (doc.parseError().errorCode == 0 || doc.parseError().reason.empty()) abort();
    return 0;
  }
  doc.selectNodes("DocRoot/Configuration//Row");
  doc.selectSingleNode("DocRoot/Configuration/ExplorerConfig");
  const std::string own = doc.xml();
  dav::xml::Document again;
  if (!again.loadXML(own)) abort();
  return 0;
}
