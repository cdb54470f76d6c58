#include "process/mod_process_cut.h"

#include <vector>

#include "util/mod_main.h"

namespace dav::modProcessCut {
namespace {

constexpr std::uint32_t kFirstListBytes = 16;
// EnumProcesses fills at most the buffer it gets; past this size a list that still comes
// back full can only be a fault, and the search gives up instead of growing without end.
constexpr std::uint32_t kLargestListBytes = 1u << 24;

// Letter case of ASCII letters; the other scripts of executable names (Korean among them)
// have none.
std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool NameMatches(std::string_view executable, const std::string& wantedUpper) {
  if (wantedUpper.empty()) return false;
  return UpperCase(FileNameOfPath(modMain::Strz2Str(executable))) == wantedUpper;
}

// The ids of EnumProcesses; empty when it fails.
std::vector<std::uint32_t> ProcessIds(platform::Processes& processes) {
  std::vector<std::uint32_t> ids;
  for (std::uint32_t bytes = kFirstListBytes; bytes <= kLargestListBytes; bytes *= 2) {
    ids.assign(bytes / sizeof(std::uint32_t), 0);
    std::uint32_t returned = 0;
    if (!processes.ListIds(ids, &returned)) return {};
    if (returned < bytes) {
      ids.resize(returned / sizeof(std::uint32_t));
      return ids;
    }
  }
  return {};
}

}  // namespace

void TerminateProcessByName(platform::Platform& platform, std::string_view exeName) {
  const std::uint32_t processId = FindProcessId(platform, exeName);
  if (processId == 0) return;
  platform::Processes& processes = platform.processes();
  platform::ProcessHandle process = platform::kNoProcess;
  if (processes.Open(platform::kProcessAllAccess, true, processId, &process) !=
      platform::kErrorSuccess) {
    return;
  }
  processes.Terminate(process, 0);
  processes.Close(process);
}

std::uint32_t FindProcessId(platform::Platform& platform, std::string_view exeName) {
  switch (GetPlatformId(platform)) {
    case platform::kPlatformWin32Windows:
      return FindProcessIdBySnapshot(platform.processes(), exeName);
    case platform::kPlatformWin32NT:
      return FindProcessIdByProcessList(platform.processes(), exeName);
    default:
      return 0;
  }
}

std::uint32_t GetPlatformId(platform::Platform& platform) {
  return platform.system().Version().platformId;
}

std::string FileNameOfPath(std::string_view path) {
  // Counting the name's length on a trimmed copy of the path, as older code did, cuts
  // characters off a name when the path has blanks around it; the text after the last "\"
  // is the name in every case.
  const std::size_t last = path.rfind('\\');
  if (last == std::string_view::npos) return std::string(path);
  return std::string(path.substr(last + 1));
}

std::uint32_t FindProcessIdBySnapshot(platform::Processes& processes, std::string_view exeName) {
  const std::string wanted = UpperCase(exeName);
  std::vector<platform::ProcessEntry> entries;
  if (processes.Snapshot(&entries) != platform::kErrorSuccess) return 0;
  for (const platform::ProcessEntry& entry : entries) {
    if (NameMatches(entry.exeFile, wanted)) return entry.processId;
  }
  return 0;
}

std::uint32_t FindProcessIdByProcessList(platform::Processes& processes, std::string_view exeName) {
  const std::string wanted = UpperCase(exeName);
  if (wanted.empty()) return 0;
  for (const std::uint32_t processId : ProcessIds(processes)) {
    platform::ProcessHandle process = platform::kNoProcess;
    if (processes.Open(platform::kProcessQueryInformation | platform::kProcessVmRead, false,
                       processId, &process) != platform::kErrorSuccess) {
      continue;
    }
    std::string path;
    const bool matches = processes.ExecutablePath(process, &path) == platform::kErrorSuccess &&
                         NameMatches(path, wanted);
    processes.Close(process);
    if (matches) return processId;
  }
  return 0;
}

}  // namespace dav::modProcessCut
