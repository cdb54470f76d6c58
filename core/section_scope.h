// What the section producers and appliers need for one document: the registry layer over
// the component's log, the generation of the sections and the component's requests. Made
// for one procedure and dropped at its end, as the registry layer opens and closes its keys
// per operation anyway.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/section_context.h"
#include "core/component_state.h"
#include "registry/md_registry.h"
#include "registry/md_spm.h"
#include "util/log.h"
#include "xml/document.h"
#include "xml/parse_error.h"

namespace dav::core {

class SectionScope {
 public:
  SectionScope(util::Log& log, ComponentState& state)
      : registry_(log),
        spm_(log),
        ctx_{
            log, registry_, spm_, state.winXP, state.win7, state.isWinNT, state.requests, [&state] {
              // The mode in use as the display catalogue reads it; none without one.
              catalogue::DisplayMode mode;
              if (state.displayCatalogue) {
                std::int16_t refresh = 0;
                state.displayCatalogue->GetInitScreenInfo(mode.width, mode.height, mode.colorBits,
                                                          refresh);
                mode.refresh = refresh;
              }
              return mode;
            }} {
    ctx_.rowObserver = state.rowObserver;
  }
  SectionScope(const SectionScope&) = delete;
  SectionScope& operator=(const SectionScope&) = delete;

  catalogue::SectionContext& ctx() { return ctx_; }

 private:
  mdRegistry registry_;
  mdSPM spm_;
  catalogue::SectionContext ctx_;
};

// The section paths of a document: "DocRoot/Configuration" + the section's steps.
inline std::string SectionPath(std::string_view steps) {
  return "DocRoot/Configuration" + std::string(steps);
}

// The form step of the generation-dependent sections: "WinXP", "Win7", or empty, which
// leaves two slashes in a row in the path and so selects the rows of both forms.
inline std::string FormStep(const ComponentState& state) {
  if (state.winXP) return "WinXP";
  if (state.win7) return "Win7";
  return {};
}

// True for a text of blanks only (or none), as the run-time's Trim leaves it empty.
inline bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// Loads sXML, or the file sPath when sXML is blank . On a parse
// failure the document's text goes to the debug log and the seven error lines to the log;
// the result says whether the document loaded.
inline bool LoadDocument(util::Log& log, xml::Document& doc, const std::string& sXML,
                         const std::string& sPath) {
  const bool loaded = IsBlank(sXML) ? doc.load(log.platform().files(), sPath) : doc.loadXML(sXML);
  if (!loaded) {
    log.Debug("XML 내용 : " + doc.xml());
    xml::LogParseError(log, doc.parseError());
  }
  return loaded;
}

// The text of an attribute of an element; a missing element or attribute is a failure
// (run-time error 91), as reading the text of Nothing is.
inline std::string AttributeText(const xml::Node& element, std::string_view name) {
  return element.selectSingleNode("@" + std::string(name)).text();
}

}  // namespace dav::core
