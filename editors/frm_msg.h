// frmMsg, the apply-choice dialog that the editors open after OK: restart the shell now (6),
// apply after the next reboot (7), or neither (2, the close box).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editors/editor_context.h"
#include "editors/form.h"

namespace dav::editors {

class frmMsg : public Form {
 public:
  explicit frmMsg(EditorContext& context);

  // Sets the result to 2, shows the dialog modally and returns the result.
  std::int32_t ShowForm();

  std::int32_t result() const { return result_; }

  // The three lines of text beside the picture.
  std::vector<std::string> lines;

 protected:
  void ButtonClicked(std::string_view control, int index) override;

 private:
  std::int32_t result_ = kChoiceClosed;
};

}  // namespace dav::editors
