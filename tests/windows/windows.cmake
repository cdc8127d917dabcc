# The tests of the Windows build, run under Wine (the toolchain files make
# wine the emulator of every test program). Debian's googletest sources are
# built with the cross compiler; the fonts are the Debian machine's, through
# Wine's Z: drive.

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(LEDVIEW_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian package googletest)")
add_subdirectory(${LEDVIEW_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(LEDVIEW_TEST_FONT "Z:/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf" CACHE STRING
    "A Latin outline font the tests load, as Wine sees it")
set(LEDVIEW_TEST_CJK_FONT "Z:/usr/share/fonts/truetype/wqy/wqy-microhei.ttc" CACHE STRING
    "An outline font with the GB2312 hanzi the tests load, as Wine sees it")

# The engine's unit tests, the Linux window tests (SDL) and the command's
# tests left out (and the POSIX font probe's and local time's), and the
# Win32 platform layer's own tests added.
file(GLOB_RECURSE LEDVIEW_TEST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
list(FILTER LEDVIEW_TEST_SOURCES EXCLUDE REGEX "/tests/tools/")
list(FILTER LEDVIEW_TEST_SOURCES EXCLUDE REGEX "/tests/api/preview_test.cpp$")
list(FILTER LEDVIEW_TEST_SOURCES EXCLUDE REGEX "/tests/platform/file_test.cpp$")
list(FILTER LEDVIEW_TEST_SOURCES EXCLUDE REGEX "/tests/platform/posix/")
list(FILTER LEDVIEW_TEST_SOURCES EXCLUDE REGEX "/tests/windows/window_test.cpp$")
add_executable(ledview_tests ${LEDVIEW_TEST_SOURCES})
target_include_directories(ledview_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ledview_tests PRIVATE ledview_core ledview_internals ledview_billfile gtest
                      gtest_main)
target_compile_definitions(ledview_tests PRIVATE
  LEDVIEW_TEST_FONT="${LEDVIEW_TEST_FONT}"
  LEDVIEW_TEST_CJK_FONT="${LEDVIEW_TEST_CJK_FONT}"
  LEDVIEW_TEST_DATA="Z:${CMAKE_CURRENT_SOURCE_DIR}/data")
# GCC 12 warns of an overlapping memcpy inside libstdc++'s operator+ of a
# string literal and a string at -O2 (GCC bug 105651, a false positive).
target_compile_options(ledview_tests PRIVATE -Wno-restrict)
add_test(NAME unit COMMAND ledview_tests --gtest_brief=1)

# The window family in a real window: run under xvfb-run by
# scripts/run-windows-tests, skipped (77) where Wine has no display.
add_executable(ledview_window_test windows/window_test.cpp support/billbuilder.cpp)
target_include_directories(ledview_window_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ledview_window_test PRIVATE ledview_core ledview_internals ledview_billfile)
target_compile_definitions(ledview_window_test PRIVATE LEDVIEW_TEST_FONT="${LEDVIEW_TEST_FONT}")
add_test(NAME window COMMAND ledview_window_test)
set_tests_properties(window PROPERTIES SKIP_RETURN_CODE 77)

# A plain C host through the DLL and its import library.
add_executable(ledview_c_host api/c_host.c)
target_link_libraries(ledview_c_host PRIVATE ledview)
add_test(NAME c_host COMMAND ledview_c_host ${LEDVIEW_TEST_FONT})

# The frame writer: a C host through the DLL with the DLL's clock pinned,
# compared with the Linux library by scripts/run-windows-tests.
add_executable(ledview_frames windows/frames_host.c)
target_link_libraries(ledview_frames PRIVATE ledview)

# The DLL's exports, by name, and the DLLs it imports, from the PE file.
add_test(NAME dll_exports
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DLIBRARY=$<TARGET_FILE:ledview>
          -DEXPECTED=${CMAKE_CURRENT_SOURCE_DIR}/api/exported_symbols.txt
          -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/check_pe.cmake)
