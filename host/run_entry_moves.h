// Run entries that a command moved between the places the start program manager keeps them:
// a live Run key, the start list and the off list of the component's store. The change
// report counts them, so that "2 deleted" reads as what it was: programs switched off, or
// approved ones taken from the off list.
#pragma once

#include <string>
#include <vector>

#include "host/change_recorder.h"

namespace dav::host {

// One count per direction that any entry took, in a fixed order ("Run key -> off list",
// "off list -> start list" ...), as "1 Run entry moved Run key -> off list". An entry moved
// when it left one place (its value deleted) and was written into another place of the same
// key's lists under the same name (compared without regard to letter case), also when that
// place held it already.
std::vector<std::string> RunEntryMoveCounts(const MachineChanges& changes);

}  // namespace dav::host
