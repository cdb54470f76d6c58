// Ending a running program given only its executable's file name, as the component ends
// the shell (explorer.exe) after a change, and blocked tools (cmd.exe, regedit.exe,
// taskmgr.exe). Only the first process found with the name is ended. Nothing is shown or
// logged; a failed enumeration finds nothing and ends nothing.
//
// A process matches when the file name of its executable (the text after the last "\",
// cut at a character 0), upper-cased, equals the wanted name upper-cased. So
// "EXPLORER.EXE" finds explorer.exe, while a name given with a folder, or an empty name,
// finds nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace dav::modProcessCut {

// Finds a process by name and, when there is one, ends it with exit code 0 (opened with
// all access; the results of opening and ending are not looked at).
void TerminateProcessByName(platform::Platform& platform, std::string_view exeName);

// The id of the first process with the name, 0 for none. The Windows 95 family is searched
// through a Toolhelp snapshot, the NT family through the process-id list; any other platform
// finds nothing.
std::uint32_t FindProcessId(platform::Platform& platform, std::string_view exeName);

// GetVersionExA's platform identifier: 1 for the Windows 95 family, 2 for the NT family.
std::uint32_t GetPlatformId(platform::Platform& platform);

// The text after the last "\" of a path, or the path itself when it has none.
std::string FileNameOfPath(std::string_view path);

// The two searches of FindProcessId.
//
// Snapshot: the executable file names of a Toolhelp snapshot, in the snapshot's order.
std::uint32_t FindProcessIdBySnapshot(platform::Processes& processes, std::string_view exeName);
// Process list: every id of EnumProcesses (its buffer doubled from 16 bytes until the ids
// fit), each process opened for reading and its executable's path read. A process that
// cannot be opened or whose modules cannot be read is skipped.
std::uint32_t FindProcessIdByProcessList(platform::Processes& processes, std::string_view exeName);

}  // namespace dav::modProcessCut
