// Registry values as davhost's reg get/set show and take them on the command line.
// String data are in the UTF-8 layout of RegValue::data (NUL terminators included).
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"

namespace dav::host {

// "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD", "REG_MULTI_SZ" (any case).
bool ParseValueTypeName(std::string_view name, platform::ValueType* type);

// The type's name; "REG_NONE", "REG_QWORD" ..., or "REG_0x1234" for an unnamed number.
std::string ValueTypeName(platform::ValueType type);

// Data for reg set: REG_SZ/REG_EXPAND_SZ the text; REG_DWORD a decimal or 0x-hex number
// up to 4294967295; REG_BINARY hex bytes ("0a ff", "0a,ff" or "0aff"); REG_MULTI_SZ parts
// separated by the two characters "\0" (no empty parts). False with a message otherwise.
bool ParseValueArgument(platform::ValueType type, std::string_view text, std::string* data,
                        std::string* error);

// Data for reg get, in the same forms reg set takes (a DWORD as "0x0000000a (10)").
std::string FormatValueData(platform::ValueType type, std::string_view data);

}  // namespace dav::host
