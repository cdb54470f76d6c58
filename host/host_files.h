// Files of the computer davhost runs on (not of the Windows machine it inspects). Paths
// are UTF-8.
#pragma once

#include <filesystem>
#include <string>

namespace dav::host {

std::filesystem::path HostPath(const std::string& utf8Path);
std::string HostPathText(const std::filesystem::path& path);

// The whole file; false with the reason in *error.
bool ReadHostFile(const std::string& path, std::string* bytes, std::string* error);

// Writes the whole file through a temporary file in the same folder and a rename, so a
// reader never sees half of it; false with the reason in *error.
bool WriteHostFile(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace dav::host
