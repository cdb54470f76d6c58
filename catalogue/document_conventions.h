// What every section of a configuration document shares: where sections live, how rows
// are read and written, the quote placeholder of the producers' templates, and which
// sections make up which document.
//
// A document is DocRoot / Configuration (SpecVersion) / sections of
// <Row ID="..." Value="..." /> elements. Identifiers compare without regard to case, values
// exactly.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "xml/document.h"

namespace dav::catalogue {

inline constexpr std::string_view kConfigurationPath = "DocRoot/Configuration";
inline constexpr std::string_view kCrLf = "\r\n";

// Producers write their templates with this character (U+33AE) for every double quote and
// replace it once when a section is complete.
inline constexpr std::string_view kQuotePlaceholder = "㎮";

// The path of a section's rows: "DocRoot/Configuration/<section>/Row", or with a form
// (generation) step "DocRoot/Configuration/<section>/<form>/Row". An empty form on a
// section that has forms gives "<section>//Row", which selects the rows of every form.
std::string SectionRowsPath(std::string_view section);
std::string SectionRowsPath(std::string_view section, std::string_view form);

// One row as an applier sees it: the identifier lowercased (ASCII letters), the value
// exactly as written.
struct Row {
  std::string id;
  std::string value;
};

// An identifier as the appliers compare it: ASCII letters lowercased, the rest kept.
std::string LowerId(std::string_view id);

// Reads a Row element. A row without an ID or a Value attribute raises run-time error 91,
// a failure of the applier that reads it.
Row ReadRow(const xml::Node& row);

// Reads and applies the rows in document order; the first failure (of reading or of
// apply) ends the loop and reaches the caller, so the rows before it stay applied.
template <typename Apply>
void ForEachRow(const xml::NodeList& rows, Apply&& apply) {
  for (const xml::Node& node : rows) apply(ReadRow(node));
}

// Every placeholder in the text replaced by a double quote.
std::string ReplaceQuotePlaceholders(std::string_view text);

// The text a producer inserts for a value into a template: a placeholder character inside
// the value is written as its character reference, so the later replacement cannot turn
// it into a quote (which would end the attribute and break the document). Other characters
// are left as they are.
std::string ProtectValue(std::string_view value);

// <Row ID="id" Value="value" /> CR LF. The value is inserted as given (escaped by the
// caller where its section says so), with placeholders protected.
std::string RowText(std::string_view id, std::string_view value);

// The configuration documents and their sections, in document order: the window and system
// documents, the legacy document, and the manager's document (WinAdmin.qsf), which holds
// sections of the window and system documents and is applied by their appliers.
enum class DocumentKind { kWinConfig, kSysConfig, kLegacy, kManager };

struct DocumentComposition {
  DocumentKind kind;
  std::string_view name;      // "WinConfig"
  std::string_view fileName;  // "WinConfig.qsf"
  std::span<const std::string_view> sections;
};

const DocumentComposition& CompositionOf(DocumentKind kind);
std::span<const DocumentComposition> AllCompositions();

}  // namespace dav::catalogue
