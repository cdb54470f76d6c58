// Loading the document a form is opened on.
#pragma once

#include <string>

#include "util/log.h"
#include "xml/document.h"

namespace dav::editors {

// Loads doc from the text, or from the machine's file at path when path is not blank. A
// document that does not load has its parse error logged, and the result is false.
bool LoadFormDocument(util::Log& log, xml::Document& doc, const std::string& text,
                      const std::string& path);

}  // namespace dav::editors
