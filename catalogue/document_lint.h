// The document linter behind "davhost doc check": reads a document file's bytes as the
// component would and, against the row catalogue, says what in it will not do what its
// writer meant: rows that stop their section's applier (and which rows are then not
// applied), unknown sections and identifiers, values outside a row's known values, drive
// rows without DriveSettings, display modes the adapter does not offer, text the code page
// cannot hold, repeated rows, and UTF-8 bytes in a file that declares another encoding.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/document_conventions.h"
#include "xml/document.h"

namespace dav::catalogue {

enum class Severity { kWarning, kError };

struct LintFinding {
  Severity severity = Severity::kWarning;
  std::size_t line = 0;    // from 1
  std::size_t column = 0;  // from 1, in characters
  std::string section;     // empty for the document as a whole
  std::string id;          // the row's (or applet's) ID as written; empty when none
  std::string message;
};

// A display mode as a DisplayList names it.
struct OfferedMode {
  long width = 0;
  long height = 0;
  long colorBits = 0;
  long refresh = 0;
};

// What the linter knows of the machine the document is meant for; a check whose fact is
// missing is left out.
struct MachineFacts {
  // True when the machine's code page holds the text.
  std::function<bool(std::string_view)> codePageHolds;
  std::vector<OfferedMode> displayModes;  // the adapter's modes; empty: not checked
  // The names of the special icons that head the machine's desktop icon list, in list order:
  // 4 when a replacement browser shortcut is configured, else 5. Empty: not checked.
  std::vector<std::string> specialIcons;
};

// True when the file holds nothing but blanks (after a UTF-8 mark).
bool IsEmptyDocument(std::string_view bytes);

// The kind of document the sections say: the kind that holds most of them (the window
// document when none does, or on a tie with it).
DocumentKind GuessDocumentKind(const xml::Document& doc);

// The findings of a document file's bytes, in document order, checked as a document of that
// kind (guessed from its sections when none is given). A file that does not decode or parse
// gives one error.
std::vector<LintFinding> LintDocument(std::string_view bytes, const MachineFacts& facts,
                                      std::optional<DocumentKind> kind = std::nullopt);

// The exit status the findings call for: 0 none, 1 warnings only, 2 an error.
int LintStatus(const std::vector<LintFinding>& findings);

// The known word nearest to a misspelt one (letter case ignored), or empty when none is
// close enough to be meant.
std::string NearestWord(std::string_view word, const std::vector<std::string_view>& known);

}  // namespace dav::catalogue
