// Files of the machine, addressed by Windows paths ("C:\Documents and Settings\...").
//
// Paths are UTF-8, compare without regard to letter case, and may use "\" or "/". A file's
// name with a separator after it ("a.txt\") names no file: the calls refuse it, most of
// them with kErrorInvalidName. Every file carries the DOS attributes below. Method names
// avoid the Windows API macros (CopyFile, DeleteFile ...) so that this header mixes with
// <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace dav::platform {

inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

struct FileEntry {
  std::string name;  // the name within its folder, as stored
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
};

// True when an entry with these attributes is listed for the attribute mask, as the
// find-first/find-next listing with a mask does: plain files (read-only and archive ones
// included) always; hidden, system and directory entries only when the mask has that bit.
inline constexpr bool MatchesAttributeMask(std::uint32_t attributes, std::uint32_t mask) {
  constexpr std::uint32_t kSelective = kAttrHidden | kAttrSystem | kAttrDirectory;
  return (attributes & kSelective & ~mask) == 0;
}

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // FindFirstFileA/FindNextFileA over a pattern (wildcards * and ? in the last part;
  // "*.*" matches every name). A folder's listing includes "." and ".." as Windows gives
  // them. Entries not matching the attribute mask are left out of *entries. Returns the
  // status of the first find call: kErrorFileNotFound when nothing matched the pattern,
  // kErrorPathNotFound when the folder does not exist.
  virtual Status FindFiles(std::string_view pattern, std::uint32_t mask,
                           std::vector<FileEntry>* entries) = 0;

  // GetFileAttributesA: kInvalidAttributes when nothing exists at the path.
  virtual std::uint32_t GetAttributes(std::string_view path) = 0;

  // SetFileAttributesA. kAttrNormal (or 0) clears every attribute but the directory bit.
  virtual Status SetAttributes(std::string_view path, std::uint32_t attributes) = 0;

  // CopyFileA. With failIfExists an existing target is left alone (kErrorFileExists);
  // without it, a read-only or hidden target refuses (kErrorAccessDenied). The copy keeps
  // the source's attributes.
  virtual Status Copy(std::string_view from, std::string_view to, bool failIfExists) = 0;

  // DeleteFileA. A read-only file refuses (kErrorAccessDenied); so does a folder.
  virtual Status Delete(std::string_view path) = 0;

  // CreateDirectoryA: one level; the parent must exist. An existing entry gives
  // kErrorAlreadyExists.
  virtual Status MakeFolder(std::string_view path) = 0;

  // RemoveDirectoryA: only an empty folder (else kErrorDirNotEmpty).
  virtual Status RemoveFolder(std::string_view path) = 0;

  // Reads a whole file's bytes.
  virtual Status ReadAll(std::string_view path, std::string* bytes) = 0;

  // Reads a file's bytes from an offset to its end (none when the file is no longer) and
  // gives its whole size: a reader of a growing file, such as a log, reads only what was
  // added since it last looked. This fallback reads the whole file.
  virtual Status ReadFrom(std::string_view path, std::uint64_t offset, std::string* bytes,
                          std::uint64_t* size) {
    std::string all;
    const Status status = ReadAll(path, &all);
    bytes->clear();
    *size = all.size();
    if (status == kErrorSuccess && offset < all.size()) bytes->assign(all, offset);
    return status;
  }

  // Writes a whole file atomically (a temporary file, then a rename): readers see the old
  // or the new content, never a part. Creates the file when missing; the folder must exist.
  virtual Status WriteAll(std::string_view path, std::string_view bytes) = 0;

  // Appends bytes to a file, creating it when missing (log files). A read-only file
  // refuses (kErrorAccessDenied).
  virtual Status Append(std::string_view path, std::string_view bytes) = 0;

  // Says that, until the same call with false, only this process changes the files (the
  // host sets it while one command of the component runs), so that a backend may answer a
  // look-up of a path it has seen in that time from memory. The real system ignores it.
  virtual void SetSoleWriter(bool sole) { (void)sole; }
};

}  // namespace dav::platform
