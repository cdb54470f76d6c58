// The document linter's checks of the list sections, StartProgramManager and
// DesktopIconManager: what makes their readers stop (a missing attribute, a text that does not
// convert), entries that name no Run key the component manages, names that leave the desktop
// folder, and repeated entries.
#pragma once

#include <string>
#include <vector>

#include "catalogue/document_conventions.h"
#include "catalogue/document_lint.h"
#include "xml/document.h"

namespace dav::catalogue {

struct ListFinding {
  xml::Node node;
  Severity severity = Severity::kWarning;
  std::string id;  // the entry's name, as written
  std::string message;
};

// The StartProgramManager section of a document of that kind (its RunKeys; in the legacy
// document also its Icons).
std::vector<ListFinding> LintStartPrograms(const xml::Node& section, DocumentKind kind);

// The DesktopIconManager section of the window document. specialIcons are the names of the
// special icons that head the desktop icon list on the PC it is checked for (4 or 5 of them);
// empty leaves the head of the list unchecked.
std::vector<ListFinding> LintDesktopIcons(const xml::Node& section,
                                          const std::vector<std::string>& specialIcons = {});

}  // namespace dav::catalogue
