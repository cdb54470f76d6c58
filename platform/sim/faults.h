// Faults that the simulated PC shows on purpose, so that tests can see how the component
// copes with a PC that misbehaves: a full disk, a component folder it may not write, a
// registry database that another process keeps busy beyond the wait, a rename that fails.
// They are switched on per machine with the setting "faults" (see ParseFaultSettings) or by
// a test through Machine::faults(). A test may also watch every write the machine is about
// to make (the kill test of applies stops the process there).
//
// The faults act where Windows would report them: file writes, appends, copies, deletes and
// new folders fail with the Windows status, and registry writes fail as a write to a
// locked or full registry does. Reads are never refused: the database is read from its
// snapshot while another process writes, and a full disk is still readable.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace dav::platform::sim {

struct FaultSettings {
  bool diskFull = false;       // file writes: ERROR_DISK_FULL; registry writes fail
  bool databaseBusy = false;   // registry writes fail as after the busy timeout
  bool renameFails = false;    // a whole-file write fails at its rename (sharing violation)
  std::string readOnlyFolder;  // Windows folder below which nothing may be written; "" none
};

// The setting's text: words separated by commas, "disk_full", "database_busy",
// "rename_fails" and "read_only:" + a Windows folder; "" is none. Returns what is wrong with
// the text, or "" when it is good (then *settings holds it).
std::string ParseFaultSettings(std::string_view text, FaultSettings* settings);

class Faults {
 public:
  FaultSettings settings;

  // Called before each write the machine makes to its files or registry, with what is
  // written ("WriteAll C:\...", "SetValue"). Empty: nothing is called.
  std::function<void(std::string_view write)> beforeWrite;

  // How many writes each fault refused so far, by the setting's word.
  const std::map<std::string, std::uint64_t>& injected() const { return injected_; }

  enum class FileWrite {
    kNoRoom,     // deletes and attributes: only a folder that may not be written refuses
    kNeedsRoom,  // copies, appends, new folders: a full disk refuses as well
    kWholeFile,  // whole-file writes, which end in a rename that may fail
  };
  // The status a file write to path meets (kErrorSuccess when none). Counts what it refuses.
  Status FileWriteFault(FileWrite kind, std::string_view what, std::string_view path);
  // The status a registry write meets.
  Status RegistryWrite(std::string_view what);

 private:
  Status Inject(const char* kind, Status status);
  std::map<std::string, std::uint64_t> injected_;
};

// The machine's files as the faults leave them.
class FaultyFileSystem : public FileSystem {
 public:
  FaultyFileSystem(FileSystem& files, Faults& faults) : files_(files), faults_(faults) {}

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
  void SetSoleWriter(bool sole) override { files_.SetSoleWriter(sole); }

 private:
  FileSystem& files_;
  Faults& faults_;
};

// The machine's registry as the faults leave it.
class FaultyRegistry : public Registry {
 public:
  FaultyRegistry(Registry& registry, Faults& faults) : registry_(registry), faults_(faults) {}

  Status OpenKey(KeyHandle parent, std::string_view subKey, KeyHandle* result) override;
  Status CreateKey(KeyHandle parent, std::string_view subKey, KeyHandle* result,
                   bool* created = nullptr) override;
  Status CloseKey(KeyHandle key) override;
  Status DeleteKey(KeyHandle parent, std::string_view subKey) override;
  Status SetValue(KeyHandle key, std::string_view name, ValueType type,
                  std::string_view data) override;
  Status QueryValue(KeyHandle key, std::string_view name, ValueType* type, std::uint8_t* data,
                    std::uint32_t* size) override;
  Status DeleteValue(KeyHandle key, std::string_view name) override;
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string* name) override;
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string* name, ValueType* type,
                   std::string* data) override;
  Status QueryInfoKey(KeyHandle key, KeyInfo* info) override;

 private:
  Registry& registry_;
  Faults& faults_;
};

}  // namespace dav::platform::sim
