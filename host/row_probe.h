// Section appliers applied on a fresh scratch machine, one small document at a time, to see
// which registry values a row writes and what they then hold. What a row writes is known
// only from the appliers themselves, so readers of the PC (machine diff, doc new
// --from-machine) learn it here instead of repeating the appliers' registry knowledge.
// Simulated PC only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/row_catalogue.h"
#include "catalogue/section_context.h"
#include "host/change_recorder.h"
#include "host/client_settings.h"
#include "host/throwaway_machine.h"
#include "xml/document.h"

namespace dav::host {

// One applier call: its section, the forms of the rows it takes (in the order it takes
// them) and how to call it on a document.
struct ApplierCall {
  const catalogue::SectionRows& (*section)();
  std::vector<std::string_view> forms;  // "" for rows directly in the section
  bool win7 = false;
  std::function<void(catalogue::SectionContext&, const xml::Document&)> apply;
};

// The nodes at steps below the document's DocRoot/Configuration.
xml::NodeList SelectInConfiguration(const xml::Document& doc, const std::string& steps);

// A row of a probe document.
struct ProbeRow {
  std::string_view form;  // "" for a row directly in the section
  std::string_view id;
  std::string value;
};

// "<DocRoot><Configuration><Section>...</Section></Configuration></DocRoot>" holding the
// rows, each form's rows in one sub-section, the forms in the order given.
std::string ProbeDocument(std::string_view section, const std::vector<std::string_view>& forms,
                          const std::vector<ProbeRow>& rows);

// What one application wrote.
struct ProbeResult {
  // Each registry value written, with what it held afterwards (string data decoded to UTF-8
  // as host/value_encoding.h does; nullopt: deleted), in the order first written.
  std::vector<ValueChange> values;
  // The rows the applier said it was applying (lower-case IDs), each with the index in
  // values of the first value written after it.
  struct Mark {
    std::string id;
    std::size_t first;
  };
  std::vector<Mark> marks;
};

class RowProbe {
 public:
  RowProbe();  // a fresh scratch machine of its own
  ~RowProbe();
  RowProbe(const RowProbe&) = delete;
  RowProbe& operator=(const RowProbe&) = delete;

  // Applies the document text with the call. An applier that ends early has still written
  // what it wrote before; a document that does not load writes nothing.
  ProbeResult Apply(const ApplierCall& call, const std::string& text);

 private:
  ThrowawayMachine scratch_;
  std::unique_ptr<platform::Platform> machine_;
  ClientSettings settings_;
  std::uint32_t codePage_ = 0;
};

}  // namespace dav::host
