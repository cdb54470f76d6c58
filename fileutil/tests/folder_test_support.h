// A fresh platform with a component log in its scratch folder, and the file helpers that
// set up and inspect the folders the icon machinery works on.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/tests/test_environment.h"
#include "util/ansi_text.h"
#include "util/log.h"

namespace dav::testing {

class FolderFixture {
 public:
  using Names = std::vector<std::string>;

  FolderFixture()
      : env_(platform::testing::MakeTestEnvironment()),
        log_(env_->platform(), env_->scratchFolder()) {}

  platform::Platform& platform() { return env_->platform(); }
  platform::FileSystem& files() { return platform().files(); }
  util::Log& log() { return log_; }
  // A key path that belongs to the test (below HKEY_CURRENT_USER; tests may use the same path
  // below HKEY_LOCAL_MACHINE and remove it themselves).
  const std::string& scratchKey() const { return env_->scratchKey(); }

  // A path in the scratch folder ("a\\b.txt").
  std::string At(const std::string& relative) const {
    return env_->scratchFolder() + "\\" + relative;
  }

  // A new folder (with its missing parents) in the scratch folder; its full path.
  std::string Folder(const std::string& relative) {
    std::string path = env_->scratchFolder();
    std::size_t start = 0;
    while (start <= relative.size()) {
      const std::size_t end = std::min(relative.find('\\', start), relative.size());
      path += "\\" + relative.substr(start, end - start);
      files().MakeFolder(path);
      start = end + 1;
    }
    return path;
  }

  void Write(const std::string& path, const std::string& bytes, std::uint32_t attributes = 0) {
    ASSERT_EQ(files().WriteAll(path, bytes), platform::kErrorSuccess) << path;
    if (attributes != 0) {
      ASSERT_EQ(files().SetAttributes(path, attributes), platform::kErrorSuccess) << path;
    }
  }

  std::string Read(const std::string& path) {
    std::string bytes;
    if (files().ReadAll(path, &bytes) != platform::kErrorSuccess) return "<missing>";
    return bytes;
  }

  bool Exists(const std::string& path) {
    return files().GetAttributes(path) != platform::kInvalidAttributes;
  }

  // The names in a folder, every kind of entry, sorted; "<missing>" when it does not exist.
  Names List(const std::string& folder) {
    if (!Exists(folder)) return {"<missing>"};
    std::vector<platform::FileEntry> entries;
    files().FindFiles(folder + "\\*", 55, &entries);
    Names names;
    for (const auto& entry : entries) {
      if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Today's log and debug log as text.
  std::string LogText() { return Text(log_.LogFilePath()); }
  std::string DebugText() { return Text(log_.DebugLogPath()); }

  static std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++count;
    return count;
  }

 private:
  std::string Text(const std::string& path) {
    std::string bytes;
    files().ReadAll(path, &bytes);
    return util::FromAnsi(platform(), bytes);
  }

  std::unique_ptr<platform::testing::TestEnvironment> env_;
  util::Log log_;
};

}  // namespace dav::testing
