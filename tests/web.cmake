# The engine's unit tests built for WebAssembly and run under node by
# scripts/run-web-tests. GoogleTest comes from Debian's sources. The test
# fonts are embedded in the module's file system at their usual paths
# (gtest's output capture breaks with node's raw file system).
# Left out: the window family's tests (WebAssembly has no window; its side
# of the platform layer refuses every window); run-web-tests also filters
# out the lock test that hands a lock to a second thread (the module is
# built without threads) and the font probe's named-pipe test (emscripten's
# memory file system has no named pipes).
if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

set(LEDVIEW_TEST_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf" CACHE FILEPATH
    "A Latin outline font the tests load")
set(LEDVIEW_TEST_CJK_FONT "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc" CACHE FILEPATH
    "An outline font with the GB2312 hanzi the tests load")

file(GLOB_RECURSE LEDVIEW_TEST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
list(FILTER LEDVIEW_TEST_SOURCES EXCLUDE REGEX "/tests/(tools|windows)/")
list(FILTER LEDVIEW_TEST_SOURCES EXCLUDE REGEX "/tests/api/preview_test\\.cpp$")
# Local time under TZ: the zone of WebAssembly's clock is the host's.
list(FILTER LEDVIEW_TEST_SOURCES EXCLUDE REGEX "/tests/platform/posix/")
add_executable(ledview_tests ${LEDVIEW_TEST_SOURCES})
target_include_directories(ledview_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ledview_tests PRIVATE ledview_core ledview_internals ledview_billfile gtest gtest_main)
target_compile_definitions(ledview_tests PRIVATE
  LEDVIEW_TEST_FONT="${LEDVIEW_TEST_FONT}"
  LEDVIEW_TEST_CJK_FONT="${LEDVIEW_TEST_CJK_FONT}"
  LEDVIEW_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
target_link_options(ledview_tests PRIVATE
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 -sWASM_ASYNC_COMPILATION=0
  -sENVIRONMENT=node -sEXIT_RUNTIME=1
  "SHELL:--embed-file ${LEDVIEW_TEST_FONT}@${LEDVIEW_TEST_FONT}"
  "SHELL:--embed-file ${LEDVIEW_TEST_CJK_FONT}@${LEDVIEW_TEST_CJK_FONT}")
set_target_properties(ledview_tests PROPERTIES SUFFIX .js)
