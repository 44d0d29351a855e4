#pragma once

#include <string_view>

namespace tsukio::resources {

// The almanac table: "[YYYY]", "seki=…", "roku=…", "zatsu=…", "saku=…" sections, one per year
// (tools/almanac/lunisolar.h describes the lines).
std::string_view AlmanacTable();

// The application menu's desktop entry, as installed.
std::string_view DesktopEntry();

}  // namespace tsukio::resources
