#include "listdoc/md_type_define.h"

#include "util/conversions.h"
#include "xml/document.h"

namespace dav::mdTypeDefine {
namespace {

constexpr std::string_view kStartProgramManager = "DocRoot/Configuration/StartProgramManager";
constexpr std::string_view kDesktopIconManager = "DocRoot/Configuration/DesktopIconManager";

// The text of the node an attribute path selects; a missing one raises error 91.
std::string Text(const xml::Node& node, std::string_view attributePath) {
  return node.selectSingleNode(attributePath).text();
}

// A fresh document with the text, or nullopt after logging why it did not parse.
std::optional<xml::Document> Load(util::Log& log, std::string_view text) {
  xml::Document doc;
  if (doc.loadXML(text)) return doc;
  xml::LogParseError(log, doc.parseError());
  return std::nullopt;
}

void ReadStartPrograms(const xml::Document& doc, bool* isProtected,
                       std::vector<UType_SPMData>* list) {
  *isProtected = util::ToBoolean(Text(doc.selectSingleNode(kStartProgramManager), "@Protected"));
  const xml::NodeList nodes =
      doc.selectNodes(std::string(kStartProgramManager) + "/RunKeyList/RunKey");
  list->assign(nodes.size(), UType_SPMData{});
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    UType_SPMData& entry = (*list)[i];
    entry.spmFileName = Text(nodes[i], "@Name");
    entry.spmPathSwitch = Text(nodes[i], "@Command");
    entry.spmIsStart = util::ToBoolean(Text(nodes[i], "@Checked"));
    entry.spmIsPrevStart = util::ToBoolean(Text(nodes[i], "@IsPrevStart"));
    entry.spmRegPath = Text(nodes[i], "@Path");
    entry.spmRegHKey = util::RoundToLong(util::LeadingNumber(Text(nodes[i], "@HKey")));
    entry.spmDelete = util::ToBoolean(Text(nodes[i], "@Deleted"));
  }
}

}  // namespace

void ParseSPMList(util::Log& log, std::string_view xml, bool* isProtected,
                  std::vector<UType_SPMData>* list) {
  *isProtected = false;
  const std::optional<xml::Document> doc = Load(log, xml);
  if (!doc) return;
  ReadStartPrograms(*doc, isProtected, list);
}

void ParseSPMListLegacy(util::Log& log, std::string_view xml, bool* isProtected,
                        std::vector<UType_SPMData>* list, std::vector<UType_DIData>* icons) {
  *isProtected = false;
  const std::optional<xml::Document> doc = Load(log, xml);
  if (!doc) return;
  ReadStartPrograms(*doc, isProtected, list);
  const xml::NodeList nodes =
      doc->selectNodes(std::string(kStartProgramManager) + "/IconList/Icon");
  if (nodes.empty()) return;
  icons->assign(nodes.size(), UType_DIData{});
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    (*icons)[i].diFileName = Text(nodes[i], "@FileName");
    (*icons)[i].diFlag = util::ToBoolean(Text(nodes[i], "@Checked")) ? 1 : 0;
  }
}

void ParseDIList(util::Log& log, std::string_view xml, bool* isProtected,
                 std::vector<UType_DIData>* list) {
  *isProtected = false;
  const std::optional<xml::Document> doc = Load(log, xml);
  if (!doc) return;
  *isProtected = util::ToBoolean(Text(doc->selectSingleNode(kDesktopIconManager), "@Protected"));
  const xml::NodeList nodes = doc->selectNodes(std::string(kDesktopIconManager) + "/IconList/Icon");
  list->assign(nodes.size(), UType_DIData{});
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    (*list)[i].diFileName = Text(nodes[i], "@FileName");
    (*list)[i].diFlag = util::ToInteger(Text(nodes[i], "@Checked"));
  }
}

}  // namespace dav::mdTypeDefine
