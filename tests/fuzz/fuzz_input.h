#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tsukio::fuzz {

// Cuts the fuzzer's bytes into texts at NUL bytes, so one input carries several arguments.
inline std::vector<std::string> SplitAtNul(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(data[i]);
    }
  }
  return parts;
}

// A broken promise is a finding: say which, and stop so the fuzzer keeps the input.
[[noreturn]] inline void Fail(std::string_view what) {
  std::fprintf(stderr, "finding: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

inline void Check(bool holds, std::string_view what) {
  if (!holds) Fail(what);
}

}  // namespace tsukio::fuzz
