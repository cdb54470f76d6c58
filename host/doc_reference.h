// "davhost doc reference": the row catalogue as a person reads it, or as JSON.
#pragma once

#include <string>

#include "catalogue/row_catalogue.h"

namespace dav::host {

// One section: its document, applier and summary, then each row with its form, generation,
// what it does, its values and what any other value is taken as.
std::string ReferenceText(const catalogue::SectionRows& section);

// One section as a JSON object.
std::string ReferenceJson(const catalogue::SectionRows& section);

}  // namespace dav::host
