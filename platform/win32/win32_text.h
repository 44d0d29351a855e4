#pragma once

#include <string>
#include <string_view>

namespace tsukio {

// UTF-8, as the core holds text, and UTF-16, as every Win32 call takes it. Invalid input
// becomes U+FFFD rather than nothing.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace tsukio
