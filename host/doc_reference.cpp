#include "host/doc_reference.h"

#include "host/doc_json.h"

namespace dav::host {
namespace {

std::string_view NeedText(catalogue::ValueNeed need) {
  switch (need) {
    case catalogue::ValueNeed::kNumber:
      return "number";
    case catalogue::ValueNeed::kSmallNumber:
      return "number from -32768 to 32767";
    case catalogue::ValueNeed::kDriveText:
      return "drive text";
    case catalogue::ValueNeed::kAnything:
      break;
  }
  return "any";
}

std::string GenerationText(catalogue::Generation generation) {
  return generation == catalogue::Generation::kBoth
             ? "XP and 7"
             : std::string(catalogue::GenerationName(generation));
}

}  // namespace

std::string ReferenceText(const catalogue::SectionRows& section) {
  std::string text = std::string(section.name) + " (" + std::string(section.document) +
                     " document; applier " + std::string(section.applier) +
                     (section.producer.empty() ? std::string(", applied only")
                                               : ", producer " + std::string(section.producer)) +
                     ")\n  " + std::string(section.summary) + "\n";
  if (!section.otherElements.empty()) text += "  " + std::string(section.otherElements) + "\n";
  if (section.stopsAtFailure) {
    text +=
        "  A Value the applier cannot use ends the applier: the rows after it are not "
        "applied.\n";
  }
  for (const catalogue::RowSpec& row : section.rows) {
    text += "\n  " + (row.form.empty() ? "" : std::string(row.form) + "/") + std::string(row.id) +
            "  (Windows " + GenerationText(catalogue::GenerationOf(row)) +
            "; Value: " + std::string(NeedText(row.need)) + ")\n    " + std::string(row.effect) +
            "\n";
    for (const catalogue::ValueMeaning& value : row.values) {
      if (value.meaning.empty()) continue;
      text += "    \"" + std::string(value.value) + "\": " + std::string(value.meaning) + "\n";
    }
    if (!row.otherValues.empty()) text += "    other: " + std::string(row.otherValues) + "\n";
  }
  return text;
}

std::string ReferenceJson(const catalogue::SectionRows& section) {
  std::string rows = "[";
  for (const catalogue::RowSpec& row : section.rows) {
    std::string values = "{";
    for (const catalogue::ValueMeaning& value : row.values) {
      if (value.meaning.empty()) continue;
      if (values.size() > 1) values += ", ";
      values += JsonString(value.value) + ": " + JsonString(value.meaning);
    }
    values += "}";
    if (rows.size() > 1) rows += ", ";
    rows += JsonObject()
                .Text("form", row.form)
                .Text("id", row.id)
                .Text("generation", catalogue::GenerationName(catalogue::GenerationOf(row)))
                .Text("value", NeedText(row.need))
                .Text("effect", row.effect)
                .Field("values", values)
                .Text("other", row.otherValues)
                .str();
  }
  return JsonObject()
      .Text("section", section.name)
      .Text("document", section.document)
      .Text("applier", section.applier)
      .Text("producer", section.producer)
      .Text("summary", section.summary)
      .Text("elements", section.otherElements)
      .Field("stopsAtFailure", section.stopsAtFailure ? "true" : "false")
      .Field("rows", rows + "]")
      .str();
}

}  // namespace dav::host
