#include "platform/sim/host_files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/sim/dos_attributes.h"
#include "platform/sim/host_errors.h"

namespace dav::platform::sim {
namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports whether the close (the last chance for a write error) worked.
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

Status WriteAllTo(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return StatusFromErrno(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return kErrorSuccess;
}

}  // namespace

HostEntryType LookUpHostEntry(const std::filesystem::path& host, std::uint64_t* size) {
  struct stat info;
  if (::lstat(host.c_str(), &info) != 0) return HostEntryType::kMissing;
  if (size != nullptr) *size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
  if (S_ISREG(info.st_mode)) return HostEntryType::kFile;
  if (S_ISDIR(info.st_mode)) return HostEntryType::kDirectory;
  return HostEntryType::kOther;
}

Status ReadHostFile(const std::filesystem::path& host, std::string* bytes) {
  bytes->clear();
  Descriptor file(::open(host.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (file.get() < 0) return StatusFromErrno(errno);
  char buffer[65536];
  while (true) {
    ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return StatusFromErrno(errno);
    }
    if (got == 0) return kErrorSuccess;
    bytes->append(buffer, static_cast<std::size_t>(got));
  }
}

Status ReadHostFileFrom(const std::filesystem::path& host, std::uint64_t offset, std::string* bytes,
                        std::uint64_t* size) {
  bytes->clear();
  *size = 0;
  Descriptor file(::open(host.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (file.get() < 0) return StatusFromErrno(errno);
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return StatusFromErrno(errno);
  *size = static_cast<std::uint64_t>(status.st_size);
  if (offset >= *size) return kErrorSuccess;
  char buffer[65536];
  for (auto at = static_cast<off_t>(offset);;) {
    const ssize_t got = ::pread(file.get(), buffer, sizeof buffer, at);
    if (got < 0) {
      if (errno == EINTR) continue;
      return StatusFromErrno(errno);
    }
    if (got == 0) return kErrorSuccess;
    bytes->append(buffer, static_cast<std::size_t>(got));
    at += got;
  }
}

Status WriteFileAtomically(const std::filesystem::path& host, std::string_view bytes,
                           std::optional<std::uint32_t> attributes) {
  std::string temporary =
      (host.parent_path() / (std::string(kTemporaryPrefix) + "XXXXXX")).string();
  Descriptor file(::mkstemp(temporary.data()));
  if (file.get() < 0) return StatusFromErrno(errno);
  Status status = WriteAllTo(file.get(), bytes);
  if (status == kErrorSuccess && ::fchmod(file.get(), 0644) != 0) status = StatusFromErrno(errno);
  // A new file without the attribute reads as a plain archive file: those need no write.
  if (status == kErrorSuccess && attributes && !IsPlainArchiveFile(*attributes)) {
    status = WriteDosAttributes(temporary, false, *attributes);
  }
  if (status == kErrorSuccess && !file.Close()) status = StatusFromErrno(errno);
  if (status == kErrorSuccess && ::rename(temporary.c_str(), host.c_str()) != 0) {
    status = StatusFromErrno(errno);
  }
  if (status != kErrorSuccess) ::unlink(temporary.c_str());
  return status;
}

Status AppendHostFile(const std::filesystem::path& host, std::string_view bytes) {
  Descriptor file(
      ::open(host.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (file.get() < 0) return StatusFromErrno(errno);
  Status status = WriteAllTo(file.get(), bytes);
  if (status == kErrorSuccess && !file.Close()) status = StatusFromErrno(errno);
  return status;
}

}  // namespace dav::platform::sim
