// --json on a command: its output becomes one JSON document (host/json_text.h).
#pragma once

#include <CLI/CLI.hpp>
#include <iostream>

#include "host/json_text.h"

namespace dav::host {

inline void AddJsonFlag(CLI::App* command, bool* json) {
  command->add_flag("--json", *json,
                    "Print one JSON document (UTF-8) instead of text; see docs/davhost.md");
}

inline void PrintJson(const Json& document) {
  std::cout << document.Dump();
}

}  // namespace dav::host
