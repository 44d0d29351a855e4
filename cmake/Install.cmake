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

# The licence, where Debian's tools and people look for it.
install(FILES ${PROJECT_SOURCE_DIR}/resources/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tsukio)
