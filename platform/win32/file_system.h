// Files through the kernel32 ANSI calls.
#pragma once

#include "platform/file_system.h"

namespace dav::platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
  Status FindFiles(std::string_view pattern, std::uint32_t mask,
                   std::vector<FileEntry>* entries) override;
  std::uint32_t GetAttributes(std::string_view path) override;
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override;
  Status Copy(std::string_view from, std::string_view to, bool failIfExists) override;
  Status Delete(std::string_view path) override;
  Status MakeFolder(std::string_view path) override;
  Status RemoveFolder(std::string_view path) override;
  Status ReadAll(std::string_view path, std::string* bytes) override;
  Status ReadFrom(std::string_view path, std::uint64_t offset, std::string* bytes,
                  std::uint64_t* size) override;
  Status WriteAll(std::string_view path, std::string_view bytes) override;
  Status Append(std::string_view path, std::string_view bytes) override;

 private:
  // Numbers the temporary files of WriteAll within this process.
  unsigned long tempCounter_ = 0;
};

}  // namespace dav::platform::win32
