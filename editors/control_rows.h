// The rows of a document that a form shows as a collection of check boxes: each box's
// caption and the Row ID it stands for.
#pragma once

namespace dav::editors {

struct CaptionRow {
  const char* caption;
  const char* id;
};

}  // namespace dav::editors
