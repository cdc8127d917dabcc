# The Windows build (mingw-w64): the window family on GDI, the calling
# convention of the exported functions, and a DLL that needs no DLL beyond
# the system's (KERNEL32, USER32, GDI32, msvcrt).

set(LEDVIEW_PLATFORM_LIBS user32 gdi32)

# 32-bit only: __stdcall unless this is set (x64 has a single convention).
option(LEDVIEW_X86_CDECL "Export the functions with __cdecl instead of __stdcall (32-bit)" OFF)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  if(LEDVIEW_X86_CDECL)
    add_compile_definitions(LEDVIEW_CALL=__cdecl)
    set(LEDVIEW_DECORATED OFF)
  else()
    set(LEDVIEW_DECORATED ON)
  endif()
else()
  set(LEDVIEW_DECORATED OFF)
endif()

# The DLL and the programs that load it side by side, as Windows finds them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The C and C++ runtimes and winpthreads linked in, for the DLL and for
# every test program that runs under Wine.
add_link_options(-static -static-libgcc -static-libstdc++)

# ledview.dll (no lib prefix), its import library libledview.dll.a, and the
# .def file the exports come from: undecorated names in both conventions.
function(ledview_windows_dll target)
  file(READ ${PROJECT_SOURCE_DIR}/cmake/ledview.def.in def)
  if(NOT LEDVIEW_DECORATED)
    string(REGEX REPLACE "@[0-9]+" "" def "${def}")
  endif()
  set(deffile ${PROJECT_BINARY_DIR}/ledview.def)
  file(GENERATE OUTPUT ${deffile} CONTENT "${def}")
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${PROJECT_SOURCE_DIR}/cmake/ledview.def.in)
  target_sources(${target} PRIVATE ${deffile})
  set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
  # --kill-at: exported as InitLedConfigure. The linker's import library
  # would then name the undecorated symbol, which a __stdcall host does not
  # call, so dlltool makes it again from the .def file: the symbol
  # _InitLedConfigure@12 imports the name InitLedConfigure.
  if(LEDVIEW_DECORATED)
    target_link_options(${target} PRIVATE -Wl,--kill-at)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_DLLTOOL} --kill-at --def ${deffile} --dllname $<TARGET_FILE_NAME:${target}>
              --output-lib $<TARGET_LINKER_FILE:${target}>
      VERBATIM)
  endif()
  target_link_options(${target} PRIVATE -Wl,--no-undefined -Wl,--exclude-all-symbols)
endfunction()
