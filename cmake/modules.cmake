# The engine's modules, each its own object library that sees only the
# modules below it. A module's headers are reachable through an include root
# of its own (MODULE/... resolves only there), and a module gets the roots of
# the modules it links, so an include of a module above it fails to compile.
#
#   api -> playbill -> content -> effects -> display -> graphics -> memory -> platform
#   format (the playbill's byte layout) depends on nothing; every module may use it.
#   billfile (the playbill writer and reader) stands apart, above format only.

set(LEDVIEW_MODULE_ROOTS ${CMAKE_BINARY_DIR}/module-roots)

# ledview_module(NAME [APART] DEPENDS module... [LIBS target...]); an APART
# module is a static library of its own, not part of the engine.
function(ledview_module name)
  cmake_parse_arguments(ARG "APART" "" "DEPENDS;LIBS" ${ARGN})
  set(root ${LEDVIEW_MODULE_ROOTS}/${name})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${name})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/src/${name} ${root}/${name} SYMBOLIC)
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/${name}/*.cpp)
  # The platform module compiles the side of the system it is built for.
  # WebAssembly takes the POSIX side less its SDL windows, and a side of its
  # own with no window.
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "/src/platform/(posix|wasm)/")
  elseif(EMSCRIPTEN)
    list(FILTER sources EXCLUDE REGEX "/src/platform/(win32/|posix/window\\.cpp$)")
  else()
    list(FILTER sources EXCLUDE REGEX "/src/platform/(win32|wasm)/")
  endif()
  # A module's test switches (*_switch.cpp) are built apart, once with them
  # and once without.
  set(switches ${sources})
  list(FILTER switches INCLUDE REGEX "_switch\\.cpp$")
  list(FILTER sources EXCLUDE REGEX "_switch\\.cpp$")
  set_property(GLOBAL APPEND PROPERTY LEDVIEW_SWITCH_SOURCES ${switches})
  set(deps)
  foreach(dep IN LISTS ARG_DEPENDS)
    list(APPEND deps ledview_${dep})
  endforeach()
  if(sources AND ARG_APART)
    add_library(ledview_${name} STATIC ${sources})
    target_include_directories(ledview_${name} PUBLIC $<BUILD_INTERFACE:${root}>)
    target_link_libraries(ledview_${name} PUBLIC ${deps} ${ARG_LIBS})
  elseif(sources)
    add_library(ledview_${name} OBJECT ${sources})
    target_include_directories(ledview_${name} PUBLIC $<BUILD_INTERFACE:${root}>)
    target_compile_definitions(ledview_${name} PRIVATE LEDVIEW_BUILDING)
    target_link_libraries(ledview_${name} PUBLIC ${deps} ${ARG_LIBS})
    set_property(GLOBAL APPEND PROPERTY LEDVIEW_MODULE_OBJECTS $<TARGET_OBJECTS:ledview_${name}>)
    set_property(GLOBAL APPEND PROPERTY LEDVIEW_MODULE_ROOT_LIST ${root})
  else()
    add_library(ledview_${name} INTERFACE)
    set_property(GLOBAL APPEND PROPERTY LEDVIEW_MODULE_ROOT_LIST ${root})
    target_include_directories(ledview_${name} INTERFACE $<BUILD_INTERFACE:${root}>)
    target_link_libraries(ledview_${name} INTERFACE ${deps} ${ARG_LIBS})
  endif()
endfunction()

ledview_module(format)
ledview_module(platform DEPENDS format LIBS ${LEDVIEW_PLATFORM_LIBS})
ledview_module(memory DEPENDS platform)
ledview_module(graphics DEPENDS memory)
ledview_module(display DEPENDS graphics)
ledview_module(effects DEPENDS display format)
ledview_module(content DEPENDS effects LIBS Freetype::Freetype)
ledview_module(playbill DEPENDS content)
ledview_module(api DEPENDS playbill)
# The playbill writer and reader, for the command, the tests and the fuzz
# targets: they need only the byte layout.
ledview_module(billfile APART DEPENDS format)
# The public header is the api's alone.
target_include_directories(ledview_api PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>)
get_property(LEDVIEW_OBJECTS GLOBAL PROPERTY LEDVIEW_MODULE_OBJECTS)

# The test switches: on in the internals build the tests, tools, benchmarks
# and fuzz targets link, off in the shipped library and WebAssembly module.
get_property(LEDVIEW_SWITCH_SOURCES GLOBAL PROPERTY LEDVIEW_SWITCH_SOURCES)
foreach(variant on off)
  add_library(ledview_switches_${variant} OBJECT ${LEDVIEW_SWITCH_SOURCES})
  target_link_libraries(ledview_switches_${variant} PRIVATE ledview_api)
  target_compile_definitions(ledview_switches_${variant} PRIVATE LEDVIEW_BUILDING)
endforeach()
target_compile_definitions(ledview_switches_on PRIVATE LEDVIEW_TEST_SWITCHES)

# What the command may see beyond the public header: api/internal.h alone, as
# ledview_internal.h.
set(LEDVIEW_INTERFACE_ROOT ${LEDVIEW_MODULE_ROOTS}/interface)
file(MAKE_DIRECTORY ${LEDVIEW_INTERFACE_ROOT})
if(NOT EXISTS ${LEDVIEW_INTERFACE_ROOT}/ledview_internal.h)
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/src/api/internal.h
       ${LEDVIEW_INTERFACE_ROOT}/ledview_internal.h SYMBOLIC)
endif()

# Tests, benchmarks and fuzz targets look inside the engine on purpose: every
# module's headers.
get_property(LEDVIEW_MODULE_ROOT_LIST GLOBAL PROPERTY LEDVIEW_MODULE_ROOT_LIST)
add_library(ledview_internals INTERFACE)
target_include_directories(ledview_internals INTERFACE ${LEDVIEW_MODULE_ROOT_LIST}
                           ${CMAKE_CURRENT_SOURCE_DIR}/include)
