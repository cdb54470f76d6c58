// Applies the key sections of a registry text file to a registry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/reg_file.h"
#include "platform/registry.h"

namespace dav::host {

// First checks every section: known hive, and names and string data that the code page can
// hold (a character it cannot hold would be stored as "?"); on a problem nothing is written
// and *error names the line. Then, in file order: [KEY] creates the key with its missing
// parents and sets its values, "name"=- deletes a value, [-KEY] deletes the key with
// everything below it (a missing key or value is not an error). A registry failure
// stops there with *error naming the key.
bool ApplyRegFile(platform::Registry& registry, std::uint32_t codePage,
                  const std::vector<RegKeySection>& sections, std::string* error);

}  // namespace dav::host
