#include "host/host_files.h"

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
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out) out.flush();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      *error = "cannot write '" + path + "'";
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
