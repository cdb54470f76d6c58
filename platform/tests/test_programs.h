// Processes and windows that belong to one test, on either backend. A contract test ends
// only what it started itself: on Windows (and under Wine) the system's own processes and
// windows are never touched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/tests/test_environment.h"

namespace dav::platform::testing {

// "<stem><id of the test process>.exe": a program name that no other test running at the
// same time uses.
std::string UniqueProgramName(const std::string& stem);

// Puts a program that runs until it is ended into the scratch folder under fileName and
// returns its Windows path. On Windows it is a copy of a small helper program (which ends
// by itself after two minutes, should a test leave it behind); the simulated PC needs no file.
std::string PlaceLongRunningProgram(TestEnvironment& env, const std::string& fileName);

// Waits until a program that PlaceLongRunningProgram placed has finished starting: Windows
// lists a new process before its modules are loaded, and asking for them then fails. False
// when it has not after ten seconds.
bool WaitUntilStarted(Platform& platform, std::uint32_t processId);

// Waits until one of the processes has ended (Windows ends a process asynchronously) and
// returns its id; 0 when all of them still run after ten seconds.
std::uint32_t WaitForOneToEnd(Platform& platform, const std::vector<std::uint32_t>& processIds);

// Opens a top-level window with the title, or kNoWindow when this system cannot show
// windows (Wine without a display driver).
WindowHandle OpenTestWindow(Platform& platform, const std::string& title);

// Removes a window that OpenTestWindow opened, when it is still there.
void DestroyTestWindow(Platform& platform, WindowHandle window);

}  // namespace dav::platform::testing
