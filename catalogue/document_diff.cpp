#include "catalogue/document_diff.h"

#include <map>

#include "catalogue/document_conventions.h"

namespace dav::catalogue {
namespace {

struct Entry {
  std::string place;
  std::string id;
  std::string value;
};

// The attribute that names an entry among its siblings.
constexpr const char* kKeyAttributes[] = {"ID", "Name", "FileName"};

class Entries {
 public:
  explicit Entries(const xml::Document& doc) {
    const xml::Node configuration = doc.selectSingleNode(kConfigurationPath);
    if (configuration) {
      for (const xml::Node& section : configuration.selectNodes("*")) Walk(section, "");
    }
  }

  std::vector<std::string> order;  // keys, first seen first
  std::map<std::string, Entry> byKey;

 private:
  void Walk(const xml::Node& element, const std::string& parent) {
    const std::string name = element.nodeName();
    std::string place = parent.empty() ? name : parent + "/" + name;
    std::string keyAttribute;
    for (const char* attribute : kKeyAttributes) {
      if (element.attribute(attribute)) {
        keyAttribute = attribute;
        break;
      }
    }
    // A row's place is its parent; other named entries keep their element name.
    const std::string entryPlace = name == "Row" ? parent : place;
    // The Value alone when it is all there is; other attributes named. A DisplayName is
    // for people: no applier reads it.
    std::string value;
    std::string others;
    for (const xml::Node& attribute : element.selectNodes("@*")) {
      const std::string attributeName = attribute.nodeName();
      if (attributeName == keyAttribute || attributeName == "DisplayName") continue;
      if (attributeName == "Value") {
        value = attribute.text();
      } else {
        others += (others.empty() ? "" : " ") + attributeName + "=" + attribute.text();
      }
    }
    if (!others.empty()) value = element.attribute("Value") ? value + " (" + others + ")" : others;
    if (!keyAttribute.empty() || !value.empty() || element.attribute("Value")) {
      const std::string id = keyAttribute.empty() ? "" : *element.attribute(keyAttribute);
      const std::string key = entryPlace + "\n" + LowerId(id);
      if (!byKey.count(key)) order.push_back(key);
      byKey[key] = {entryPlace, id, value};  // the last of repeated entries counts
    }
    for (const xml::Node& child : element.selectNodes("*")) Walk(child, place);
  }
};

}  // namespace

std::vector<EntryDifference> DiffDocuments(const xml::Document& first,
                                           const xml::Document& second) {
  const Entries a(first);
  const Entries b(second);
  std::vector<EntryDifference> differences;
  for (const std::string& key : a.order) {
    const Entry& entry = a.byKey.at(key);
    const auto other = b.byKey.find(key);
    if (other == b.byKey.end()) {
      differences.push_back({entry.place, entry.id, entry.value, std::nullopt});
    } else if (other->second.value != entry.value) {
      differences.push_back({entry.place, other->second.id, entry.value, other->second.value});
    }
  }
  for (const std::string& key : b.order) {
    if (a.byKey.count(key)) continue;
    const Entry& entry = b.byKey.at(key);
    differences.push_back({entry.place, entry.id, std::nullopt, entry.value});
  }
  return differences;
}

}  // namespace dav::catalogue
