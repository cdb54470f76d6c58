#include "editors/form_document.h"

#include "editors/form_procedure.h"
#include "xml/parse_error.h"

namespace dav::editors {

bool LoadFormDocument(util::Log& log, xml::Document& doc, const std::string& text,
                      const std::string& path) {
  const bool loaded = IsBlank(path) ? doc.loadXML(text) : doc.load(log.platform().files(), path);
  if (!loaded) xml::LogParseError(log, doc.parseError());
  return loaded;
}

}  // namespace dav::editors
