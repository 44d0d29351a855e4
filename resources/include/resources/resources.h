#pragma once

#include <string_view>

namespace tsukio::resources {

// The almanac table: "[YYYY]", "seki=…", "roku=…" sections, one per year.
std::string_view AlmanacTable();

// The application menu's desktop entry, as installed.
std::string_view DesktopEntry();

}  // namespace tsukio::resources
