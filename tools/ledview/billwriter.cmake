# The playbill writer, shared by the ledview command and the tests; it needs
# nothing of the engine.
include_guard(GLOBAL)
add_library(ledview_billwriter STATIC ${CMAKE_CURRENT_LIST_DIR}/billwriter.cpp)
target_include_directories(ledview_billwriter PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
