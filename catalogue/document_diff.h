// Two configuration documents compared entry by entry, as the appliers see them: rows by
// section, sub-section and ID (letter case of IDs ignored, the last of repeated rows
// counting), applets, list entries and attribute-only elements such as DisplayList. Layout,
// encoding and the order of rows do not count.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "xml/document.h"

namespace dav::catalogue {

struct EntryDifference {
  std::string place;  // "UsedAccess", "StartMenu/WinXP", "ControlMngr/WinXP/CPLList"
  std::string id;     // the entry's ID (or Name, FileName), as the second document writes it
  std::optional<std::string> first;   // nullopt: only in the second document
  std::optional<std::string> second;  // nullopt: only in the first document
};

// The differences in the first document's order, then the entries only in the second.
std::vector<EntryDifference> DiffDocuments(const xml::Document& first, const xml::Document& second);

}  // namespace dav::catalogue
