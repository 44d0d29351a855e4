# The Windows build's tests, run under wine64 in a wine prefix made for the run and removed
# after it.
set(TSUKIO_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest's sources, built with the cross compiler (Debian's libgtest-dev ships them)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TSUKIO_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(TSUKIO_WINE_SH ${CMAKE_CURRENT_SOURCE_DIR}/win32/wine.sh)
set(TSUKIO_WINEPREFIX ${CMAKE_CURRENT_BINARY_DIR}/wineprefix)
add_test(NAME wine.prefix.create COMMAND ${TSUKIO_WINE_SH} create ${TSUKIO_WINEPREFIX})
add_test(NAME wine.prefix.remove COMMAND ${TSUKIO_WINE_SH} remove ${TSUKIO_WINEPREFIX})
set_tests_properties(wine.prefix.create PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine.prefix.remove PROPERTIES FIXTURES_CLEANUP wine)

# tsukio_wine_test(<name> <program> <args...>): runs a Windows program in the prefix, on the
# prefix's own X server (wine makes no window without a display).
function(tsukio_wine_test name)
  add_test(NAME ${name} COMMAND ${TSUKIO_WINE_SH} run ${TSUKIO_WINEPREFIX} ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine LABELS windows TIMEOUT 300)
endfunction()

# The core tests, cross-built: one program, one wine start.
add_executable(tsukio-core-tests ${TSUKIO_CORE_TEST_SOURCES})
target_link_libraries(tsukio-core-tests PRIVATE tsukio_calendar tsukio_calwindow tsukio_cal_cli
                      tsukio_resources tsukio_tray tsukio_timesync tsukio_app tsukio_settings
                      GTest::gmock GTest::gtest_main tsukio_warnings)
tsukio_wine_test(windows.core-tests $<TARGET_FILE:tsukio-core-tests> --gtest_brief=1)

# The Win32 layer's own tests.
add_executable(tsukio-win32-tests win32/win32_layer_test.cpp)
target_link_libraries(tsukio-win32-tests PRIVATE tsukio_platform_win32 tsukio_tray GTest::gtest_main
                      tsukio_warnings)
tsukio_wine_test(windows.layer-tests $<TARGET_FILE:tsukio-win32-tests> --gtest_brief=1)
add_test(NAME windows.fonts-missing
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win32/fonts_missing.sh ${TSUKIO_WINE_SH}
                 ${TSUKIO_WINEPREFIX} $<TARGET_FILE:tsukio-win32-tests>)
set_tests_properties(windows.fonts-missing PROPERTIES FIXTURES_REQUIRED wine LABELS windows
                     TIMEOUT 300)

# tsukio-cal.exe against the Linux build's tsukio-cal.
set(TSUKIO_HOST_CAL "" CACHE FILEPATH "The Linux build's tsukio-cal, to compare outputs with")
if(TSUKIO_HOST_CAL)
  add_test(NAME windows.cal-same-output
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win32/cal_same_output.sh ${TSUKIO_HOST_CAL}
                   ${TSUKIO_WINE_SH} ${TSUKIO_WINEPREFIX} $<TARGET_FILE:tsukio-cal>)
  set_tests_properties(windows.cal-same-output PROPERTIES FIXTURES_REQUIRED wine LABELS windows
                       TIMEOUT 300)
endif()

# Pictures: the tray's icons and the main window's views as PNG files.
add_test(NAME windows.cal-pictures
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win32/cal_pictures.sh
                 ${TSUKIO_WINE_SH} ${TSUKIO_WINEPREFIX} $<TARGET_FILE:tsukio-cal>
                 ${CMAKE_BINARY_DIR}/screenshots)
set_tests_properties(windows.cal-pictures PROPERTIES FIXTURES_REQUIRED wine LABELS windows
                     TIMEOUT 300)

# The tray program with a real XEmbed tray.
add_test(NAME windows.tray-smoke
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win32/tray_smoke.sh ${TSUKIO_WINE_SH}
                 ${TSUKIO_WINEPREFIX} $<TARGET_FILE:tsukio> ${CMAKE_BINARY_DIR}/screenshots)
set_tests_properties(windows.tray-smoke PROPERTIES FIXTURES_REQUIRED wine LABELS windows
                     TIMEOUT 300)

# The installer, when NSIS is there to make it (make windows-installer).
if(TARGET installer)
  add_test(NAME windows.installer
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win32/installer_test.sh ${TSUKIO_WINE_SH}
                   ${TSUKIO_WINEPREFIX} ${TSUKIO_SETUP})
  set_tests_properties(windows.installer PROPERTIES FIXTURES_REQUIRED wine LABELS windows
                       TIMEOUT 300)
endif()
