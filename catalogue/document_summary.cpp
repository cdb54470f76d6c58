#include "catalogue/document_summary.h"

#include <algorithm>

#include "listdoc/md_type_define.h"

namespace dav::catalogue {
namespace {

bool Holds(const DocumentComposition& composition, std::string_view section) {
  return std::find(composition.sections.begin(), composition.sections.end(), section) !=
         composition.sections.end();
}

void CheckRows(const std::string& section, const xml::Node& node,
               std::vector<std::string>* problems) {
  for (const xml::Node& parent : node.selectNodes("descendant-or-self::*[Row]")) {
    // "WinSkill row 3" or "StartMenu/WinXP row 3", counted from 1 within the parent.
    std::string place = section;
    if (parent.nodeName() != section) place += "/" + parent.nodeName();
    std::size_t index = 0;
    for (const xml::Node& row : parent.selectNodes("Row")) {
      ++index;
      for (const char* name : {"ID", "Value"}) {
        if (!row.attribute(name)) {
          problems->push_back(place + " row " + std::to_string(index) + " has no " + name +
                              " attribute: the section's applier stops there.");
        }
      }
    }
  }
}

void CheckEntries(const std::string& section, const xml::Node& node, std::string_view path,
                  std::span<const std::string_view> required, std::vector<std::string>* problems) {
  std::size_t index = 0;
  for (const xml::Node& entry : node.selectNodes(path)) {
    ++index;
    for (std::string_view name : required) {
      if (!entry.attribute(name)) {
        problems->push_back(section + " " + entry.nodeName() + " " + std::to_string(index) +
                            " has no " + std::string(name) +
                            " attribute: the list is not read past it.");
      }
    }
  }
}

SectionSummary Summarize(const xml::Node& node, std::vector<std::string>* problems) {
  SectionSummary s;
  s.name = node.nodeName();
  s.rows = node.selectNodes(".//Row").size();
  for (const xml::Node& child : node.selectNodes("*")) {
    const std::string name = child.nodeName();
    if (name == "Row" || name == "RunKeyList" || name == "IconList") continue;
    s.parts.emplace_back(name, child.selectNodes(".//Row").size());
  }
  CheckRows(s.name, node, problems);
  if (s.name == "StartProgramManager" || s.name == "DesktopIconManager") {
    if (!node.attribute("Protected")) {
      problems->push_back(s.name + " has no Protected attribute: the list is not read.");
    }
    s.runKeys = node.selectNodes("RunKeyList/RunKey").size();
    s.icons = node.selectNodes("IconList/Icon").size();
    CheckEntries(s.name, node, "RunKeyList/RunKey", mdTypeDefine::kRunKeyAttributes, problems);
    CheckEntries(s.name, node, "IconList/Icon", mdTypeDefine::kIconAttributes, problems);
  }
  return s;
}

}  // namespace

DocumentSummary SummarizeDocument(const xml::Document& doc) {
  DocumentSummary summary;
  summary.encoding = doc.declaredEncoding();
  const xml::Node configuration = doc.selectSingleNode(kConfigurationPath);
  if (!configuration) {
    summary.problems.push_back(
        "The document has no DocRoot/Configuration element: no section is applied.");
    return summary;
  }
  summary.specVersion = configuration.attribute("SpecVersion").value_or("");
  for (const xml::Node& section : configuration.selectNodes("*")) {
    summary.sections.push_back(Summarize(section, &summary.problems));
  }
  for (const DocumentComposition& composition : AllCompositions()) {
    const bool all =
        std::all_of(summary.sections.begin(), summary.sections.end(),
                    [&](const SectionSummary& s) { return Holds(composition, s.name); });
    if (all && !summary.sections.empty()) {
      summary.kind = composition.kind;
      break;
    }
  }
  for (const SectionSummary& s : summary.sections) {
    const bool known = std::any_of(AllCompositions().begin(), AllCompositions().end(),
                                   [&](const DocumentComposition& c) { return Holds(c, s.name); });
    if (!known) {
      summary.problems.push_back("The section " + s.name +
                                 " belongs to no configuration document and is ignored.");
    }
  }
  return summary;
}

}  // namespace dav::catalogue
