// How the appliers of the legacy document report a failure: to the error reporter, under
// "modDavIrizevez.<procedure>", which writes it to the debug log and raises it again, so
// that the procedure applying the whole document logs the failing section and goes on.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/registry_places.h"
#include "catalogue/section_context.h"
#include "util/procedure.h"

namespace dav::catalogue {

template <typename Body>
void RunLegacyApplier(SectionContext& ctx, std::string_view procedure, Body&& body) {
  try {
    body();
  } catch (...) {
    const util::Failure failure = util::CurrentFailure();
    ctx.log.ReportError(std::string(kSectionModule) + "." + std::string(procedure), failure.number,
                        failure.description, false);
  }
}

// A name from a document that becomes the name of one key below a key the section owns: an
// empty name would address that key itself, a backslash a key elsewhere.
inline bool IsKeyName(std::string_view name) {
  return !name.empty() && name.find('\\') == std::string_view::npos;
}

}  // namespace dav::catalogue
