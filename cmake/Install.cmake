# What `cmake --install` puts where: the two programs (with the tools tsukio-cal
# runs and the HTTP module the tray loads), the application menu's entry and the
# man pages. The icon theme is installed by tools/icon, which draws it.
install(TARGETS tsukio tsukio-cal RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tsukio-cal-tools RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tsukio)
install(TARGETS tsukio-http LIBRARY DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tsukio)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tsukio.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The man pages are given the version, then compressed, as man-db reads them and Debian
# installs them.
set(pages)
foreach(page tsukio.1 tsukio-cal.1)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND gzip -9nkf ${page}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/man
    DEPENDS ${CMAKE_BINARY_DIR}/man/${page}
    VERBATIM)
  list(APPEND pages ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(tsukio_man_pages ALL DEPENDS ${pages})
install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Shell completion, where each shell looks for a package's: bash-completion and fish read
# the data folders, zsh the vendor folder Debian's zsh has in its fpath, or the site folder
# every zsh reads under any other prefix (decided at install time: cpack installs under /usr).
set(completions ${PROJECT_SOURCE_DIR}/resources/completions)
install(FILES ${completions}/tsukio-cal.bash RENAME tsukio-cal
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${completions}/tsukio-cal.fish DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
install(CODE "
  if(CMAKE_INSTALL_PREFIX MATCHES \"(^|/)usr$\")
    set(zsh_folder vendor-completions)
  else()
    set(zsh_folder site-functions)
  endif()
  file(INSTALL \"${completions}/_tsukio-cal\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/zsh/\${zsh_folder}\")")

# The licence, where Debian's tools and people look for it.
install(FILES ${PROJECT_SOURCE_DIR}/resources/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tsukio)
