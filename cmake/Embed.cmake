# tsukio_embed_text(<target> <symbol> <file>): compiles <file> into <target> as
# `std::string_view <symbol>()` in namespace tsukio::resources, so nothing is looked up at run time.
function(tsukio_embed_text target symbol file)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out} -DSYMBOL=${symbol}
            -P "${PROJECT_SOURCE_DIR}/cmake/EmbedScript.cmake"
    DEPENDS "${file}" "${PROJECT_SOURCE_DIR}/cmake/EmbedScript.cmake"
    COMMENT "Embedding ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
