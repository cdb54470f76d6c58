// The Windows headers as the win32 backend uses them. Include this instead of <windows.h>:
// it keeps min/max out, and takes back the macro names that the platform interfaces use as
// method names (FileSystem::RemoveDirectory), so that a class declared here overrides the
// same name that other translation units, which never see <windows.h>, call.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef RemoveDirectory
