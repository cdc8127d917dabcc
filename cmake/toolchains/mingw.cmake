# What the two Windows toolchains share: Debian's mingw-w64 compilers in the
# posix-thread flavour (std::thread and std::mutex in a static runtime), for
# the processor and triple the including file sets.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${LEDVIEW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LEDVIEW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LEDVIEW_MINGW_TRIPLE}-windres)
set(CMAKE_DLLTOOL ${LEDVIEW_MINGW_TRIPLE}-dlltool)
set(CMAKE_FIND_ROOT_PATH /usr/${LEDVIEW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
