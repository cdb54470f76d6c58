// Whole-file reads and writes on the host for the simulated PC's file system. Paths are
// host paths already resolved inside the machine's drives; symbolic links are never
// followed. Failures come back as Windows statuses.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace dav::platform::sim {

// What a host path holds, looked at without following a symbolic link.
enum class HostEntryType { kMissing, kFile, kDirectory, kOther };

HostEntryType LookUpHostEntry(const std::filesystem::path& host, std::uint64_t* size = nullptr);

// Temporary files of WriteFileAtomically start with this; listings leave them out.
inline constexpr std::string_view kTemporaryPrefix = ".dav-write-";

Status ReadHostFile(const std::filesystem::path& host, std::string* bytes);

// The bytes of a host file from an offset on (none past its end), and its size.
Status ReadHostFileFrom(const std::filesystem::path& host, std::uint64_t offset, std::string* bytes,
                        std::uint64_t* size);

// Writes a temporary file beside the target, gives it the DOS attributes when there are
// any, and renames it over the target, so a reader sees the old or the new content, and a
// process that dies half-way leaves the old file. (It does not wait for the disk.)
Status WriteFileAtomically(const std::filesystem::path& host, std::string_view bytes,
                           std::optional<std::uint32_t> attributes);

Status AppendHostFile(const std::filesystem::path& host, std::string_view bytes);

}  // namespace dav::platform::sim
