// What the component re-establishes at every start, from the client key: the list of
// resolutions the display offers (for the client's own screens), the display mode that a
// document asked to keep, and the clean-up tasks that a document asked the host to repeat.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/section_context.h"
#include "core/component.h"
#include "registry/md_registry.h"
#include "registry/md_spm.h"
#include "util/conversions.h"
#include "util/procedure.h"
#include "util/run_time_error.h"

namespace dav::core {
namespace {

using catalogue::kClientKey;
using platform::kHKeyLocalMachine;

// The run-time's Split: the parts between the separators, at least one.
std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(separator, start)) != std::string_view::npos;) {
    parts.emplace_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

const std::string& Part(const std::vector<std::string>& parts, std::size_t index) {
  if (index >= parts.size()) throw util::RunTimeError(util::kErrSubscript);
  return parts[index];
}

// The n-th character (from 1) of the packed flags; empty past the end.
std::string_view Flag(std::string_view flags, std::size_t n) {
  return n <= flags.size() ? flags.substr(n - 1, 1) : std::string_view();
}

}  // namespace

void CCDavIrizevez::PublishResolutionList() {
  if (!state_.displayCatalogue) throw util::RunTimeError(util::kErrObjectNotSet);
  std::int32_t count = 0;
  const std::vector<std::int32_t> widths = state_.displayCatalogue->GetResolutionW(count);
  const std::vector<std::int32_t> heights = state_.displayCatalogue->GetResolutionH(count);
  std::string text;
  for (std::size_t i = 0; i < widths.size() && i < heights.size(); ++i) {
    text += "*" + std::to_string(widths[i]) + " x " + std::to_string(heights[i]);
  }
  // No resolution at all: there is no leading "*" to drop, and "Display" keeps what it had.
  if (text.empty()) throw util::RunTimeError(util::kErrInvalidCall);
  text.erase(0, 1);
  mdSPM(log_).SetRegValue(kHKeyLocalMachine, kClientKey, "Display", platform::kRegSz, text);
}

void CCDavIrizevez::RebootSettings() {
  mdRegistry registry(log_);
  try {
    if (registry.ReadString(kHKeyLocalMachine, kClientKey, "RebootDisplay", "0") != "0") {
      if (!state_.displayCatalogue) throw util::RunTimeError(util::kErrObjectNotSet);
      std::int32_t width = 0;
      std::int32_t height = 0;
      std::int16_t bits = 0;
      std::int16_t refresh = 0;
      state_.displayCatalogue->GetInitScreenInfo(width, height, bits, refresh);
      const std::string current = std::to_string(width) + " x " + std::to_string(height) + "*" +
                                  std::to_string(bits) + "*" + std::to_string(refresh);
      const std::string list =
          registry.ReadString(kHKeyLocalMachine, kClientKey, "DisplayList", current);
      const std::vector<std::string> parts = Split(list, "*");
      std::string resolution = Part(parts, 0);
      std::erase(resolution, ' ');
      // Only a lower-case "x" parts width and height.
      const std::vector<std::string> size = Split(resolution, "x");
      const std::int32_t newWidth = util::ToLong(Part(size, 0));
      const std::int32_t newHeight = util::ToLong(Part(size, 1));
      const std::int16_t newBits = util::ToInteger(Part(parts, 1));
      const std::int32_t newRefresh = util::ToLong(Part(parts, 2));
      state_.displayCatalogue->SetDisplayChange(newWidth, newHeight, newBits, newRefresh);
    }
    const std::string opt =
        registry.ReadString(kHKeyLocalMachine, kClientKey, "RebootWinOpt", "000000");
    // Temporary Internet files and cookies are one clean-up task: one notice for both.
    const struct {
      bool asked;
      const char* notice;
    } notices[] = {
        {Flag(opt, 1) == "1", "APL_GARBAGE"},
        {Flag(opt, 2) == "1" || Flag(opt, 4) == "1", "APL_TEMPFILE"},
        {Flag(opt, 3) == "1", "APL_TEMPFOLDER"},
        {Flag(opt, 5) == "1", "APL_HISTORY"},
        {Flag(opt, 6) == "1", "APL_DOC"},
    };
    for (const auto& notice : notices) {
      if (notice.asked) host_.PostNotice("ZezOvezorara", notice.notice, 1);
    }
  } catch (...) {
    const util::Failure failure = util::CurrentFailure();
    log_.ReportError("CCDavIrizevez.RebootSettings", failure.number, failure.description, false);
  }
}

}  // namespace dav::core
