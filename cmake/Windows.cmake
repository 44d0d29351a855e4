# The Windows executables' resources: the icon drawn for the Linux icon theme (the host
# build draws it, as Qt is not cross-built), a version record, and the manifest that asks
# for common controls 6 and per-monitor DPI awareness.
set(TSUKIO_ICON_THEME "" CACHE PATH
    "The host build's icons/hicolor folder, which holds the application icon's pictures")
if(NOT EXISTS "${TSUKIO_ICON_THEME}/32x32/apps/tsukio.png")
  message(FATAL_ERROR "TSUKIO_ICON_THEME must name the host build's icons/hicolor folder "
                      "(make windows builds it first)")
endif()
find_program(TSUKIO_PYTHON NAMES python3 REQUIRED)

set(pictures)
foreach(size 16 24 32 48 64 256)
  list(APPEND pictures ${TSUKIO_ICON_THEME}/${size}x${size}/apps/tsukio.png)
endforeach()
set(TSUKIO_ICO ${CMAKE_BINARY_DIR}/resources/tsukio.ico)
add_custom_command(OUTPUT ${TSUKIO_ICO}
                   COMMAND ${TSUKIO_PYTHON} ${PROJECT_SOURCE_DIR}/resources/windows/make_ico.py
                           ${TSUKIO_ICO} ${pictures}
                   DEPENDS ${pictures} ${PROJECT_SOURCE_DIR}/resources/windows/make_ico.py
                   COMMENT "Packing the application icon"
                   VERBATIM)
add_custom_target(tsukio_ico DEPENDS ${TSUKIO_ICO})

string(REPLACE "." "," commas "${PROJECT_VERSION}")
set(TSUKIO_VERSION_COMMAS "${commas},0,0")
set(TSUKIO_VERSION_QUAD "${PROJECT_VERSION}.0.0")
set(TSUKIO_MANIFEST ${CMAKE_BINARY_DIR}/resources/tsukio.manifest)
configure_file(${PROJECT_SOURCE_DIR}/resources/windows/tsukio.manifest ${TSUKIO_MANIFEST} @ONLY)

# tsukio_windows_resources(<target> <description>)
function(tsukio_windows_resources target description)
  set(TSUKIO_EXE ${target})
  set(TSUKIO_DESCRIPTION "${description}")
  set(rc ${CMAKE_BINARY_DIR}/resources/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/tsukio.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${TSUKIO_ICO};${TSUKIO_MANIFEST}")
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} tsukio_ico)
endfunction()

tsukio_windows_resources(tsukio "Tsukio tray calendar")
tsukio_windows_resources(tsukio-cal "Tsukio calendar from the command line")

# The installer, with Debian's NSIS: make windows-installer.
find_program(TSUKIO_MAKENSIS NAMES makensis)
if(TSUKIO_MAKENSIS)
  set(TSUKIO_SETUP ${CMAKE_BINARY_DIR}/tsukio-setup-${PROJECT_VERSION}.exe)
  add_custom_command(OUTPUT ${TSUKIO_SETUP}
                     COMMAND ${TSUKIO_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION}
                             -DBUILD_DIR=${CMAKE_BINARY_DIR} -DOUTFILE=${TSUKIO_SETUP}
                             ${PROJECT_SOURCE_DIR}/resources/windows/tsukio.nsi
                     DEPENDS tsukio tsukio-cal ${TSUKIO_ICO}
                             ${PROJECT_SOURCE_DIR}/resources/windows/tsukio.nsi
                     COMMENT "Making the installer"
                     VERBATIM)
  add_custom_target(installer DEPENDS ${TSUKIO_SETUP})
endif()
