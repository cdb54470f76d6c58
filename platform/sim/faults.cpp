#include "platform/sim/faults.h"

#include <string>

#include "platform/sim/windows_path.h"

namespace dav::platform::sim {
namespace {

constexpr std::string_view kReadOnlyPrefix = "read_only:";

// True when path names folder or something below it.
bool IsBelow(std::string_view path, std::string_view folder) {
  WindowsPath target;
  WindowsPath base;
  if (ParseWindowsPath(path, true, &target) != kErrorSuccess ||
      ParseWindowsPath(folder, false, &base) != kErrorSuccess) {
    return false;
  }
  if (target.drive != base.drive || target.names.size() < base.names.size()) return false;
  for (std::size_t i = 0; i < base.names.size(); ++i) {
    if (!NamesEqual(target.names[i], base.names[i])) return false;
  }
  return true;
}

}  // namespace

std::string ParseFaultSettings(std::string_view text, FaultSettings* settings) {
  FaultSettings parsed;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find(',', from);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(from, end - from);
    from = end + 1;
    if (word == "disk_full") {
      parsed.diskFull = true;
    } else if (word == "database_busy") {
      parsed.databaseBusy = true;
    } else if (word == "rename_fails") {
      parsed.renameFails = true;
    } else if (word.substr(0, kReadOnlyPrefix.size()) == kReadOnlyPrefix) {
      parsed.readOnlyFolder = std::string(word.substr(kReadOnlyPrefix.size()));
      WindowsPath path;
      if (ParseWindowsPath(parsed.readOnlyFolder, false, &path) != kErrorSuccess) {
        return "read_only: needs a full Windows folder, as read_only:C:\\Data";
      }
    } else {
      return "has the unknown fault '" + std::string(word) +
             "' (known: disk_full, database_busy, rename_fails, read_only:FOLDER)";
    }
  }
  *settings = std::move(parsed);
  return "";
}

Status Faults::Inject(const char* kind, Status status) {
  ++injected_[kind];
  return status;
}

Status Faults::FileWriteFault(FileWrite kind, std::string_view what, std::string_view path) {
  if (beforeWrite) beforeWrite(std::string(what) + " " + std::string(path));
  if (!settings.readOnlyFolder.empty() && IsBelow(path, settings.readOnlyFolder)) {
    return Inject("read_only", kErrorAccessDenied);
  }
  if (kind == FileWrite::kNoRoom) return kErrorSuccess;
  if (settings.diskFull) return Inject("disk_full", kErrorDiskFull);
  if (kind == FileWrite::kWholeFile && settings.renameFails) {
    return Inject("rename_fails", kErrorSharingViolation);
  }
  return kErrorSuccess;
}

Status Faults::RegistryWrite(std::string_view what) {
  if (beforeWrite) beforeWrite(what);
  if (settings.databaseBusy) return Inject("database_busy", kErrorRegistryIoFailed);
  if (settings.diskFull) return Inject("disk_full", kErrorRegistryIoFailed);
  return kErrorSuccess;
}

Status FaultyFileSystem::FindFiles(std::string_view pattern, std::uint32_t mask,
                                   std::vector<FileEntry>* entries) {
  return files_.FindFiles(pattern, mask, entries);
}

std::uint32_t FaultyFileSystem::GetAttributes(std::string_view path) {
  return files_.GetAttributes(path);
}

Status FaultyFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  const Status fault = faults_.FileWriteFault(Faults::FileWrite::kNoRoom, "SetAttributes", path);
  return fault != kErrorSuccess ? fault : files_.SetAttributes(path, attributes);
}

Status FaultyFileSystem::Copy(std::string_view from, std::string_view to, bool failIfExists) {
  const Status fault = faults_.FileWriteFault(Faults::FileWrite::kNeedsRoom, "Copy", to);
  return fault != kErrorSuccess ? fault : files_.Copy(from, to, failIfExists);
}

Status FaultyFileSystem::Delete(std::string_view path) {
  const Status fault = faults_.FileWriteFault(Faults::FileWrite::kNoRoom, "Delete", path);
  return fault != kErrorSuccess ? fault : files_.Delete(path);
}

Status FaultyFileSystem::MakeFolder(std::string_view path) {
  const Status fault = faults_.FileWriteFault(Faults::FileWrite::kNeedsRoom, "MakeFolder", path);
  return fault != kErrorSuccess ? fault : files_.MakeFolder(path);
}

Status FaultyFileSystem::RemoveFolder(std::string_view path) {
  const Status fault = faults_.FileWriteFault(Faults::FileWrite::kNoRoom, "RemoveFolder", path);
  return fault != kErrorSuccess ? fault : files_.RemoveFolder(path);
}

Status FaultyFileSystem::ReadAll(std::string_view path, std::string* bytes) {
  return files_.ReadAll(path, bytes);
}

Status FaultyFileSystem::ReadFrom(std::string_view path, std::uint64_t offset, std::string* bytes,
                                  std::uint64_t* size) {
  return files_.ReadFrom(path, offset, bytes, size);
}

Status FaultyFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
  const Status fault = faults_.FileWriteFault(Faults::FileWrite::kWholeFile, "WriteAll", path);
  return fault != kErrorSuccess ? fault : files_.WriteAll(path, bytes);
}

Status FaultyFileSystem::Append(std::string_view path, std::string_view bytes) {
  const Status fault = faults_.FileWriteFault(Faults::FileWrite::kNeedsRoom, "Append", path);
  return fault != kErrorSuccess ? fault : files_.Append(path, bytes);
}

Status FaultyRegistry::OpenKey(KeyHandle parent, std::string_view subKey, KeyHandle* result) {
  return registry_.OpenKey(parent, subKey, result);
}

Status FaultyRegistry::CreateKey(KeyHandle parent, std::string_view subKey, KeyHandle* result,
                                 bool* created) {
  // The key is created in a write transaction, which a busy database refuses even when the
  // key is there; a full one still opens an existing key.
  if (faults_.settings.diskFull && !faults_.settings.databaseBusy &&
      registry_.OpenKey(parent, subKey, result) == kErrorSuccess) {
    if (created != nullptr) *created = false;
    return kErrorSuccess;
  }
  const Status fault = faults_.RegistryWrite("CreateKey");
  return fault != kErrorSuccess ? fault : registry_.CreateKey(parent, subKey, result, created);
}

Status FaultyRegistry::CloseKey(KeyHandle key) {
  return registry_.CloseKey(key);
}

Status FaultyRegistry::DeleteKey(KeyHandle parent, std::string_view subKey) {
  const Status fault = faults_.RegistryWrite("DeleteKey");
  return fault != kErrorSuccess ? fault : registry_.DeleteKey(parent, subKey);
}

Status FaultyRegistry::SetValue(KeyHandle key, std::string_view name, ValueType type,
                                std::string_view data) {
  const Status fault = faults_.RegistryWrite("SetValue");
  return fault != kErrorSuccess ? fault : registry_.SetValue(key, name, type, data);
}

Status FaultyRegistry::QueryValue(KeyHandle key, std::string_view name, ValueType* type,
                                  std::uint8_t* data, std::uint32_t* size) {
  return registry_.QueryValue(key, name, type, data, size);
}

Status FaultyRegistry::DeleteValue(KeyHandle key, std::string_view name) {
  const Status fault = faults_.RegistryWrite("DeleteValue");
  return fault != kErrorSuccess ? fault : registry_.DeleteValue(key, name);
}

Status FaultyRegistry::EnumKey(KeyHandle key, std::uint32_t index, std::string* name) {
  return registry_.EnumKey(key, index, name);
}

Status FaultyRegistry::EnumValue(KeyHandle key, std::uint32_t index, std::string* name,
                                 ValueType* type, std::string* data) {
  return registry_.EnumValue(key, index, name, type, data);
}

Status FaultyRegistry::QueryInfoKey(KeyHandle key, KeyInfo* info) {
  return registry_.QueryInfoKey(key, info);
}

}  // namespace dav::platform::sim
