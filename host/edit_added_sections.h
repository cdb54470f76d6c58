// What "davhost edit" warns of in the document the editor built: the sections the edited
// file did not have. The editors write every section of their document, so a section the
// file left out (and its apply therefore left alone) comes back filled with what the editor
// shows for it, a fresh PC's values, and applying the written document sets them.
#pragma once

#include <string>
#include <vector>

namespace dav::host {

// One warning per section of the edited text that the original text lacks, saying what
// applying it will change; none when either text does not load.
std::vector<std::string> AddedSectionWarnings(const std::string& original,
                                              const std::string& edited);

}  // namespace dav::host
