#include "host/host_files.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace dav::host {

std::filesystem::path HostPath(const std::string& utf8Path) {
  return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

std::string HostPathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool ReadHostFile(const std::string& path, std::string* bytes, std::string* error) {
  const std::filesystem::path file = HostPath(path);
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) {
    *error = "'" + path + "' is a folder";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    *error = "cannot read '" + path +
             "': " + (std::filesystem::exists(file, ec) ? "permission denied" : "no such file");
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    *error = "cannot read '" + path + "'";
    return false;
  }
  return true;
}

bool WriteHostFile(const std::string& path, const std::string& bytes, std::string* error) {
  const std::filesystem::path file = HostPath(path);
  std::random_device random;
  std::filesystem::path temporary = file;
  temporary += ".tmp" + std::to_string(random());
  {
    // The stream keeps no reason of its own; errno, read straight after the failing call,
    // says why (no such folder, permission denied, disk full).
    errno = 0;
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out) out.flush();
    if (out) out.close();
    if (!out) {
      const int reason = errno;
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      *error = "cannot write '" + path +
               "': " + (reason != 0 ? std::strerror(reason) : "the file could not be written");
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    *error = "cannot write '" + path + "': " + ec.message();
    return false;
  }
  return true;
}

}  // namespace dav::host
