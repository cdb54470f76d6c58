// The Windows headers as the win32 backend uses them. Include this instead of <windows.h>:
// it keeps min/max out.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
