#include "host/edit_added_sections.h"

#include <algorithm>

#include "catalogue/document_conventions.h"
#include "catalogue/document_summary.h"
#include "xml/document.h"

namespace dav::host {
namespace {

std::string RowValue(const xml::Node& section, const std::string& id) {
  for (const xml::Node& row : section.selectNodes("Row")) {
    if (catalogue::LowerId(row.attribute("ID").value_or("")) == catalogue::LowerId(id)) {
      return row.attribute("Value").value_or("");
    }
  }
  return {};
}

// What applying the added section changes on a PC, as the end of a sentence.
std::string WhatItChanges(const xml::Node& section, const catalogue::SectionSummary& summary) {
  const std::string name = summary.name;
  if (name == "FolderAccess") {
    std::string text = RowValue(section, "FolderAccess") == "1" ? "switches folder protection on"
                                                                : "switches folder protection off";
    if (RowValue(section, "Path").empty()) {
      text += " and, with its empty Path, clears the stored protected folders";
    }
    return text + ".";
  }
  if (name == "StartProgramManager" || name == "DesktopIconManager") {
    const std::size_t entries = name == "StartProgramManager" ? summary.runKeys : summary.icons;
    return "applies its list of " + std::to_string(entries) + " entr" +
           (entries == 1 ? "y" : "ies") + " with Protected \"" +
           section.attribute("Protected").value_or("") + "\" in place of the PC's own.";
  }
  return "writes its " + std::to_string(summary.rows) + " row" + (summary.rows == 1 ? "" : "s") +
         " over the PC's own settings.";
}

}  // namespace

std::vector<std::string> AddedSectionWarnings(const std::string& original,
                                              const std::string& edited) {
  xml::Document before;
  xml::Document after;
  if (!before.loadXML(original) || !after.loadXML(edited)) return {};
  std::vector<std::string> warnings;
  for (const catalogue::SectionSummary& section : catalogue::SummarizeDocument(after).sections) {
    const std::string path = std::string(catalogue::kConfigurationPath) + "/" + section.name;
    if (before.selectSingleNode(path)) continue;
    warnings.push_back("the editor added " + section.name +
                       ", which the file did not have, with a fresh PC's values: applying the "
                       "written document " +
                       WhatItChanges(after.selectSingleNode(path), section));
  }
  return warnings;
}

}  // namespace dav::host
