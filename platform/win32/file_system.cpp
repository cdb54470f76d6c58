#include "platform/win32/file_system.h"

#include <string>

#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {
namespace {

Status LastError() {
  return static_cast<Status>(GetLastError());
}

Status Result(BOOL ok) {
  return ok ? kErrorSuccess : LastError();
}

// A file handle that is closed when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now; false (with the last error set) when closing failed.
  bool Close() {
    if (!valid()) return true;
    const BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

 private:
  HANDLE handle_;
};

Status WriteBytes(HANDLE file, std::string_view bytes) {
  constexpr std::size_t kChunk = 1u << 30;
  while (!bytes.empty()) {
    const DWORD want = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), want, &written, nullptr)) return LastError();
    bytes.remove_prefix(written);
  }
  return kErrorSuccess;
}

// Windows refuses to open a read-only file for writing. Wine keeps the attribute as a
// missing Unix write permission, which does not stop a process running as root, so the
// writers ask first: a read-only file is refused under Wine exactly as on Windows.
bool IsReadOnlyFile(const std::string& ansiPath) {
  const DWORD attributes = GetFileAttributesA(ansiPath.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

Status Win32FileSystem::FindFiles(std::string_view pattern, std::uint32_t mask,
                                  std::vector<FileEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA(ToAnsi(pattern).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return LastError();
  do {
    if (!MatchesAttributeMask(found.dwFileAttributes, mask)) continue;
    FileEntry entry;
    entry.name = FromAnsi(found.cFileName);
    entry.attributes = found.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    entries->push_back(std::move(entry));
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return kErrorSuccess;
}

std::uint32_t Win32FileSystem::GetAttributes(std::string_view path) {
  return GetFileAttributesA(ToAnsi(path).c_str());
}

Status Win32FileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  return Result(SetFileAttributesA(ToAnsi(path).c_str(), attributes));
}

Status Win32FileSystem::Copy(std::string_view from, std::string_view to, bool failIfExists) {
  const std::string target = ToAnsi(to);
  // CopyFileA does not overwrite a hidden or read-only file; Wine checks neither.
  if (!failIfExists) {
    const DWORD existing = GetFileAttributesA(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) &&
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))) {
      return kErrorAccessDenied;
    }
  }
  return Result(CopyFileA(ToAnsi(from).c_str(), target.c_str(), failIfExists));
}

Status Win32FileSystem::Delete(std::string_view path) {
  return Result(DeleteFileA(ToAnsi(path).c_str()));
}

Status Win32FileSystem::MakeFolder(std::string_view path) {
  return Result(CreateDirectoryA(ToAnsi(path).c_str(), nullptr));
}

Status Win32FileSystem::RemoveFolder(std::string_view path) {
  return Result(RemoveDirectoryA(ToAnsi(path).c_str()));
}

namespace {

// The rest of an open file from where its pointer stands.
Status ReadRest(HANDLE file, std::string* bytes) {
  std::string content;
  char buffer[64 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) return LastError();
    if (read == 0) break;
    content.append(buffer, read);
  }
  *bytes = std::move(content);
  return kErrorSuccess;
}

HANDLE OpenToRead(std::string_view path) {
  return CreateFileA(ToAnsi(path).c_str(), GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Status Win32FileSystem::ReadAll(std::string_view path, std::string* bytes) {
  FileHandle file(OpenToRead(path));
  if (!file.valid()) return LastError();
  return ReadRest(file.get(), bytes);
}

Status Win32FileSystem::ReadFrom(std::string_view path, std::uint64_t offset, std::string* bytes,
                                 std::uint64_t* size) {
  bytes->clear();
  *size = 0;
  FileHandle file(OpenToRead(path));
  if (!file.valid()) return LastError();
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(file.get(), &length)) return LastError();
  *size = static_cast<std::uint64_t>(length.QuadPart);
  if (offset >= *size) return kErrorSuccess;
  LARGE_INTEGER from{};
  from.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.get(), from, nullptr, FILE_BEGIN)) return LastError();
  return ReadRest(file.get(), bytes);
}

namespace {

// Renames the finished temporary file over the target. The shell (and on a real PC a virus
// scanner) opens a file that has just appeared in a folder it watches, such as the desktop,
// for a moment; a rename at that moment is refused as a sharing violation. Such a refusal is
// tried again for up to half a second; any other one is final.
Status MoveIntoPlace(const std::string& temp, const std::string& target) {
  constexpr int kTries = 10;
  constexpr DWORD kPauseMilliseconds = 50;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return kErrorSuccess;
    }
    const DWORD error = GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || attempt == kTries) {
      return static_cast<Status>(error);
    }
    Sleep(kPauseMilliseconds);
  }
}

}  // namespace

Status Win32FileSystem::WriteAll(std::string_view path, std::string_view bytes) {
  const std::string target = ToAnsi(path);
  // Windows refuses to replace a read-only file (see IsReadOnlyFile), and a replaced file
  // keeps its attributes, as it does when written in place.
  const DWORD oldAttributes = GetFileAttributesA(target.c_str());
  const bool replacing = oldAttributes != INVALID_FILE_ATTRIBUTES;
  if (replacing && (oldAttributes & FILE_ATTRIBUTE_DIRECTORY)) return kErrorAccessDenied;
  if (IsReadOnlyFile(target)) return kErrorAccessDenied;

  // The temporary file sits beside the target, so that the rename stays on one volume; its
  // name is short, so that it fits wherever the target's name fits. The folder is cut from
  // the UTF-8 path: in a double-byte code page a backslash byte may end a character.
  const std::string folder = ToAnsi(path.substr(0, path.find_last_of("\\/") + 1));
  std::string temp;
  HANDLE handle = INVALID_HANDLE_VALUE;
  do {
    temp = folder + "~dav" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++tempCounter_) + ".tmp";
    handle = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  } while (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS);
  FileHandle file(handle);
  if (!file.valid()) return LastError();

  Status status = WriteBytes(file.get(), bytes);
  if (status == kErrorSuccess && !FlushFileBuffers(file.get())) status = LastError();
  if (!file.Close() && status == kErrorSuccess) status = LastError();
  if (status == kErrorSuccess && replacing && !SetFileAttributesA(temp.c_str(), oldAttributes)) {
    status = LastError();
  }
  if (status == kErrorSuccess) status = MoveIntoPlace(temp, target);
  if (status != kErrorSuccess) DeleteFileA(temp.c_str());
  return status;
}

Status Win32FileSystem::Append(std::string_view path, std::string_view bytes) {
  const std::string target = ToAnsi(path);
  if (IsReadOnlyFile(target)) return kErrorAccessDenied;
  FileHandle file(CreateFileA(target.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LastError();
  const Status status = WriteBytes(file.get(), bytes);
  if (!file.Close() && status == kErrorSuccess) return LastError();
  return status;
}

}  // namespace dav::platform::win32
