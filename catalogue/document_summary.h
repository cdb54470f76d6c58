// What a configuration document holds, section by section, and what in it would stop an
// applier: the report behind "davhost doc check", for a person who wants to know why a
// document was not applied.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/document_conventions.h"
#include "xml/document.h"

namespace dav::catalogue {

struct SectionSummary {
  std::string name;
  std::size_t rows = 0;  // Row elements at any depth
  // Sub-sections (WinXP, Win7, General ...) with their rows, in document order.
  std::vector<std::pair<std::string, std::size_t>> parts;
  std::size_t runKeys = 0;  // start program entries
  std::size_t icons = 0;    // desktop icon entries
};

struct DocumentSummary {
  std::string encoding;     // as declared; empty without a declaration
  std::string specVersion;  // the Configuration element's SpecVersion
  // The document whose sections these are: the first composition that holds every one.
  std::optional<DocumentKind> kind;
  std::vector<SectionSummary> sections;
  // Faults an applier would stop at or a reader raise on, one sentence each.
  std::vector<std::string> problems;
};

// Summarises a loaded document.
DocumentSummary SummarizeDocument(const xml::Document& doc);

}  // namespace dav::catalogue
