// Listings come in the file system's order, which differs between backends: lists are
// compared with their icon files (from index `from` on) sorted by name.
#pragma once

#include <algorithm>
#include <cstddef>

#include "desktop/icon_folders.h"

namespace dav::desktop {

inline IconList SortedFrom(IconList list, std::size_t from = 0) {
  std::sort(list.begin() + static_cast<std::ptrdiff_t>(std::min(from, list.size())), list.end(),
            [](const auto& a, const auto& b) { return a.diFileName < b.diFileName; });
  return list;
}

}  // namespace dav::desktop
