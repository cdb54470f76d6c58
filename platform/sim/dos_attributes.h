// DOS attributes of the simulated PC's files, kept in the host's extended attribute
// "user.DOSATTRIB" as the text "0x%x" (the convention of other Windows emulations on
// Linux). Symbolic links are never followed.
#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/status.h"

namespace dav::platform::sim {

inline constexpr const char* kDosAttributeName = "user.DOSATTRIB";

// The attributes Windows shows for the entry: the stored read-only, hidden, system and
// archive bits plus the directory bit of a folder. Without a stored value a file reads as
// archive and a folder as directory; a file with none of the bits reads as normal (0x80).
std::uint32_t ReadDosAttributes(const std::filesystem::path& host, bool isDirectory);

// True for a file whose settable bits are archive alone: what a file without a stored value
// reads as, so a new file of such attributes needs none written.
bool IsPlainArchiveFile(std::uint32_t attributes);

// Stores the settable bits of attributes (read-only, hidden, system, archive); the
// directory bit always follows what the entry is.
Status WriteDosAttributes(const std::filesystem::path& host, bool isDirectory,
                          std::uint32_t attributes);

}  // namespace dav::platform::sim
