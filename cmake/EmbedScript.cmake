# Writes the bytes of IN as a C++ array, so any content (including ")" sequences) survives.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE "${OUT}"
  "// Generated from ${IN}; do not edit.\n"
  "#include <string_view>\n"
  "namespace tsukio::resources {\n"
  "namespace { constexpr char kData[] = {${bytes} '\\0'}; }\n"
  "std::string_view ${SYMBOL}() { return {kData, ${size}}; }\n"
  "}  // namespace tsukio::resources\n")
